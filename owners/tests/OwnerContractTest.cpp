// The owner contract, once with a counting resource (every rule of the template) and once per kind
// of system resource (which value means "nothing", and that a held value is really released).
#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "WindowsOwners.h"

namespace {

// A resource that records its releases; releasing sets a last error of its own, as CloseHandle may.
std::vector<int> released;

struct CountedTraits {
  using Value = int;
  static Value Empty() noexcept { return 0; }
  static bool IsValid(Value value) noexcept { return value > 0; }
  static void Close(Value value) noexcept {
    released.push_back(value);
    SetLastError(ERROR_INVALID_HANDLE);
  }
};
using Counted = UniqueResource<CountedTraits>;

static_assert(!std::is_copy_constructible_v<Counted> && !std::is_copy_assignable_v<Counted>, "move-only");
static_assert(std::is_nothrow_move_constructible_v<Counted> && std::is_nothrow_move_assignable_v<Counted>, "moves");

class OwnerContract : public ::testing::Test {
 protected:
  void SetUp() override { released.clear(); }
};

TEST_F(OwnerContract, EachValueIsReleasedExactlyOnce) {
  const struct {
    const char* name;
    void (*use)();
    std::vector<int> expected;
  } cases[] = {
      {"end of scope", [] { Counted owner(1); }, {1}},
      {"reset, then end of scope", [] {
         Counted owner(1);
         owner.Reset();
         owner.Reset();
       }, {1}},
      {"reset to another value", [] {
         Counted owner(1);
         owner.Reset(2);
       }, {1, 2}},
      {"reset to the value already held does nothing", [] {
         Counted owner(1);
         owner.Reset(1);
         EXPECT_EQ(owner.Get(), 1);
       }, {1}},
      {"move construction", [] {
         Counted from(1);
         Counted to(std::move(from));
         EXPECT_FALSE(from.Valid());
         EXPECT_EQ(to.Get(), 1);
       }, {1}},
      {"move assignment releases the target's old value", [] {
         Counted from(1);
         Counted to(2);
         to = std::move(from);
         EXPECT_EQ(released, std::vector<int>{2});
       }, {2, 1}},
      {"self move keeps the value", [] {
         Counted owner(1);
         Counted& same = owner;
         owner = std::move(same);
         EXPECT_EQ(owner.Get(), 1);
       }, {1}},
      {"take hands the value over", [] {
         Counted owner(1);
         const int taken = owner.Take();
         EXPECT_EQ(taken, 1);
         EXPECT_FALSE(owner);
       }, {}},
      {"address releases what is held first", [] {
         Counted owner(1);
         *owner.Address() = 2;
         EXPECT_EQ(released, std::vector<int>{1});
       }, {1, 2}},
      {"an invalid value is never released", [] { Counted owner(-5); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    released.clear();
    c.use();
    EXPECT_EQ(released, c.expected);
  }
}

TEST_F(OwnerContract, TheLastErrorSurvivesARelease) {
  Counted owner(1);
  SetLastError(ERROR_FILE_NOT_FOUND);
  owner.Reset(2);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  SetLastError(ERROR_ACCESS_DENIED);
  Counted other(std::move(owner));
  other = Counted(3);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_EQ(released, (std::vector<int>{1, 2}));
}

// Each kind of system resource: how to make one, and whether the system still knows it (where a
// closed value can be asked about safely; a closed search or module cannot).
template <class Owner>
struct Kind;

template <>
struct Kind<UniqueHandle> {
  static HANDLE Make() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }
  static bool CanTell() { return true; }
  static bool Alive(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
  }
  static HANDLE ExpectedEmpty() { return nullptr; }
};

template <>
struct Kind<UniqueFile> {
  static HANDLE Make() {
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"zko", 0, path);
    return CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  }
  static bool CanTell() { return true; }
  static bool Alive(HANDLE handle) { return Kind<UniqueHandle>::Alive(handle); }
  static HANDLE ExpectedEmpty() { return INVALID_HANDLE_VALUE; }
};

template <>
struct Kind<UniqueFindHandle> {
  static HANDLE Make() {
    WIN32_FIND_DATAW found{};
    wchar_t folder[MAX_PATH];
    GetSystemDirectoryW(folder, MAX_PATH);
    return FindFirstFileW((std::wstring(folder) + L"\\*").c_str(), &found);
  }
  static bool CanTell() { return false; }
  static bool Alive(HANDLE) { return true; }
  static HANDLE ExpectedEmpty() { return INVALID_HANDLE_VALUE; }
};

template <>
struct Kind<UniqueRegistryKey> {
  static HKEY Make() {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key);
    return key;
  }
  static bool CanTell() { return true; }
  static bool Alive(HKEY key) {
    DWORD subkeys = 0;
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS;
  }
  static HKEY ExpectedEmpty() { return nullptr; }
};

template <>
struct Kind<UniqueModule> {
  static HMODULE Make() { return LoadLibraryW(L"version.dll"); }
  static bool CanTell() { return false; }
  static bool Alive(HMODULE) { return true; }
  static HMODULE ExpectedEmpty() { return nullptr; }
};

template <>
struct Kind<UniqueGdiObject<HBRUSH>> {
  static HBRUSH Make() { return CreateSolidBrush(RGB(40, 40, 40)); }
  static bool CanTell() { return true; }
  static bool Alive(HBRUSH brush) { return GetObjectType(brush) != 0; }
  static HBRUSH ExpectedEmpty() { return nullptr; }
};

template <>
struct Kind<UniqueMappedView> {
  static void* Make() {
    UniqueHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr));
    return MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, 0);  // the view keeps the mapping alive
  }
  static bool CanTell() { return true; }
  static bool Alive(void* view) {
    MEMORY_BASIC_INFORMATION information{};
    return VirtualQuery(view, &information, sizeof information) != 0 && information.State == MEM_COMMIT;
  }
  static void* ExpectedEmpty() { return nullptr; }
};

template <class Owner>
class SystemOwner : public ::testing::Test {};

using SystemKinds = ::testing::Types<UniqueHandle, UniqueFile, UniqueFindHandle, UniqueRegistryKey, UniqueModule,
                                     UniqueGdiObject<HBRUSH>, UniqueMappedView>;
// The empty last argument: before C++20 a macro's "..." must be given at least one.
TYPED_TEST_SUITE(SystemOwner, SystemKinds, );

TYPED_TEST(SystemOwner, AnEmptyOwnerHoldsItsKindsNothing) {
  TypeParam owner;
  EXPECT_EQ(owner.Get(), Kind<TypeParam>::ExpectedEmpty());
  EXPECT_FALSE(owner.Valid());
}

TYPED_TEST(SystemOwner, AHeldValueIsReleasedByResetWithTheLastErrorKept) {
  const auto value = Kind<TypeParam>::Make();
  TypeParam owner(value);
  ASSERT_TRUE(owner.Valid()) << "could not make one";
  EXPECT_TRUE(Kind<TypeParam>::Alive(value));
  SetLastError(ERROR_PATH_NOT_FOUND);
  owner.Reset();
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(owner.Valid());
  if (Kind<TypeParam>::CanTell()) {
    EXPECT_FALSE(Kind<TypeParam>::Alive(value));
  }
}

// A handle owner of either kind refuses both spellings of "no handle": holding
// INVALID_HANDLE_VALUE (the current process's pseudo-handle) must never close it.
TEST(HandleOwners, RefuseBothSpellingsOfNothing) {
  for (HANDLE nothing : {HANDLE(nullptr), INVALID_HANDLE_VALUE}) {
    EXPECT_FALSE(UniqueHandle(nothing).Valid());
    EXPECT_FALSE(UniqueFile(nothing).Valid());
    EXPECT_FALSE(UniqueFindHandle(nothing).Valid());
  }
  { UniqueHandle pseudo(GetCurrentProcess()); }
  DWORD flags = 0;
  EXPECT_NE(GetHandleInformation(GetCurrentProcess(), &flags), FALSE);
  EXPECT_NE(WaitForSingleObject(GetCurrentProcess(), 0), WAIT_FAILED);
}

}  // namespace
