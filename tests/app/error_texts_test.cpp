// Error texts carry a path the way the system gave it: made from UTF-16 once,
// so an Arabic folder reads the same in the log and the journal.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

#include "app/win/user_folder.h"
#include "framework/core/text.h"

namespace {

const std::wstring kArabicFolder = L"\x0627\x0633\x0639\x0627\x0631";  // "اسعار"
const std::string kArabicFolderUtf8 = "\xD8\xA7\xD8\xB3\xD8\xB9\xD8\xA7\xD8\xB1";

std::wstring TempFolder() {
  wchar_t buf[MAX_PATH];
  const DWORD n = ::GetTempPathW(MAX_PATH, buf);
  return std::wstring(buf, n);
}

TEST(ErrorTexts, AnArabicPathReachesTheTextAsUtf8AndTheFileSystemIntact) {
  const std::wstring folder = TempFolder() + kArabicFolder;
  ASSERT_TRUE(naveko::MakeFolder(folder));
  const std::wstring file = folder + L"\\F26-3-2022.xlsx";
  naveko::ReplaceFileAtomically(file, "PK");
  EXPECT_EQ(naveko::ReadWholeFile(file, 16), "PK");

  const std::wstring missing = folder + L"\\" + kArabicFolder + L".xlsx";
  try {
    naveko::ReadWholeFile(missing, 16);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    const std::string text = e.what();
    EXPECT_NE(text.find(kArabicFolderUtf8 + "\\" + kArabicFolderUtf8 + ".xlsx"), std::string::npos) << text;
    EXPECT_EQ(fw::WideToUtf8(fw::Utf8ToWide(text)), text) << "valid UTF-8";
    EXPECT_NE(text.find("(2)"), std::string::npos) << "the system's reason and its code: " << text;
  }
  ::DeleteFileW(file.c_str());
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace
