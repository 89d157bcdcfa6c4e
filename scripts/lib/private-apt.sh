# A private apt configuration in a folder of its own: its own sources list (the system's Debian
# archive entries for this release, as source or binary entries of any architecture), its own lists,
# cache and an empty package status, so that it resolves and downloads without touching what the
# system has installed or knows. Sourced by the ARM64 toolchain and emulation scripts.
#
#   private_apt_init DIR TYPE ARCH     TYPE: deb or deb-src; ARCH: e.g. arm64
#   private_apt DIR apt-get ARGS...    runs an apt tool with that configuration

# The system's entries for Debian's own archive of this release (suites named after the release:
# bookworm, bookworm-updates, bookworm-security), one line each: "URI SUITE COMPONENTS|SIGNED-BY".
private_apt_system_entries() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?no release name in /etc/os-release}")
  {
    # deb822 files: one stanza per paragraph
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -e "$f" ] || continue
      awk 'BEGIN { RS = ""; FS = "\n" }
        {
          types = uris = suites = comps = signed = ""; enabled = "yes"
          for (i = 1; i <= NF; i++) {
            line = $i
            if (line ~ /^#/) continue
            key = line; sub(/:.*/, "", key); val = line; sub(/^[^:]*:[ \t]*/, "", val)
            key = tolower(key)
            if (key == "types") types = val; else if (key == "uris") uris = val
            else if (key == "suites") suites = val; else if (key == "components") comps = val
            else if (key == "signed-by") signed = val; else if (key == "enabled") enabled = tolower(val)
          }
          if (enabled == "no" || types !~ /(^| )deb( |$)/) next
          n = split(uris, u, " "); m = split(suites, s, " ")
          for (a = 1; a <= n; a++) for (b = 1; b <= m; b++) print u[a] " " s[b] " " comps "|" signed
        }' "$f"
    done
    # one-line files
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -e "$f" ] || continue
      awk '$1 == "deb" {
          signed = ""; i = 2
          if ($2 ~ /^\[/) {
            for (; i <= NF; i++) { if ($i ~ /^signed-by=/) { signed = $i; sub(/^signed-by=/, "", signed); sub(/\]$/, "", signed) }
                                   if ($i ~ /\]$/) { i++; break } }
          }
          line = $i " " $(i + 1); for (j = i + 2; j <= NF; j++) line = line " " $j
          print line "|" signed
        }' "$f"
    done
  } | awk -v c="$codename" '{ split($0, p, " "); if (p[2] == c || index(p[2], c "-") == 1) print }' | sort -u
}

private_apt_init() {
  local dir=$1 type=$2 arch=$3
  mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial" "$dir/sources.list.d" "$dir/preferences.d"
  : >"$dir/status"
  local entries
  entries=$(private_apt_system_entries)
  if [ -z "$entries" ]; then
    echo "private-apt: the system's apt sources name no Debian archive of this release" >&2
    return 1
  fi
  local uri_suite_comps signed
  while IFS='|' read -r uri_suite_comps signed; do
    if [ -n "$signed" ]; then
      echo "$type [signed-by=$signed] $uri_suite_comps"
    else
      echo "$type $uri_suite_comps"
    fi
  done <<<"$entries" >"$dir/sources.list"
  cat >"$dir/apt.conf" <<CONF
Dir::State "$dir";
Dir::State::Lists "$dir/lists";
Dir::State::status "$dir/status";
Dir::Cache "$dir/cache";
Dir::Cache::archives "$dir/cache/archives";
Dir::Etc::SourceList "$dir/sources.list";
Dir::Etc::SourceParts "$dir/sources.list.d";
Dir::Etc::Preferences "$dir/preferences";
Dir::Etc::PreferencesParts "$dir/preferences.d";
APT::Architecture "$arch";
APT::Architectures { "$arch"; };
APT::Sandbox::User "root";
APT::Install-Recommends "false";
CONF
}

private_apt() {
  local dir=$1
  shift
  APT_CONFIG="$dir/apt.conf" "$@"
}
