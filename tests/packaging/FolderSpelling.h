// Another way to reach an existing folder, as people make them: a drive letter whose root is the
// folder (what subst makes) or a folder elsewhere that leads to it (what a junction makes), for the
// life of the object. Under Wine, which in this version makes neither junctions nor subst drives,
// the same is a Unix symbolic link in the prefix (in its dosdevices folder for a drive letter):
// Wine reaches the folder through it as Windows does through a junction or a subst drive, and the
// folder keeps its identity (volume and file ID) whichever way it is reached.
#pragma once

#include <string>

enum class SpellingKind { Drive, Link };

class FolderSpelling {
 public:
  // Drive: a free drive letter for folder. Link: link (a folder not yet there, whose parent is)
  // leading to folder.
  FolderSpelling(SpellingKind kind, const std::wstring& folder, const std::wstring& link = std::wstring());
  ~FolderSpelling();  // takes the drive letter or the link away again; the folder stays
  FolderSpelling(const FolderSpelling&) = delete;
  FolderSpelling& operator=(const FolderSpelling&) = delete;

  // The folder as reached the other way ("M:" for a drive letter, the link's path), without a
  // closing backslash; empty when it could not be made (Error() says why).
  const std::wstring& Path() const { return path_; }
  const std::string& Error() const { return error_; }

 private:
  void MakeDrive();
  void MakeLink(const std::wstring& link);

  SpellingKind kind_;
  std::wstring folder_;
  std::wstring path_;
  std::string unixLink_;  // under Wine: the symbolic link to remove
  std::string error_;
};
