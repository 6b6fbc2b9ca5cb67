#include "app/win/run_log_file.h"

#include <windows.h>

#include <stdexcept>

#include "app/version.h"
#include "app/win/user_folder.h"
#include "framework/win/handles.h"
#include "framework/win/sysutils.h"

namespace naveko {

std::wstring RunLogPath() {
  const std::wstring folder = NavekoFolder();
  return folder.empty() ? folder : folder + L"\\naveko.log";
}

TLogBlock NewLogBlock(std::string_view what) { return TLogBlock(LocalTimeText(), NAVEKO_VERSION_TEXT, what); }

void WriteLogBlock(const TLogBlock& block) {
  try {
    const std::wstring path = RunLogPath();
    if (path.empty()) throw std::runtime_error("no folder for the log");
    const std::string& text = block.Text();
    WIN32_FILE_ATTRIBUTE_DATA info{};
    const unsigned long long size =
        ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)
            ? (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow
            : 0;
    if (size + text.size() > kLogLimit) {
      std::string old;
      try {
        old = ReadWholeFile(path, 4 * kLogLimit);
      } catch (const std::exception&) {
        // Unreadable or far too large: the new block starts the log afresh.
      }
      ReplaceFileAtomically(path, AppendBounded(old, text));
      return;
    }
    // Appends go to the end even when another copy of the program writes too.
    fw::UniqueFile f = fw::OwnFile(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) throw std::runtime_error("cannot open the log: " + ErrorText(::GetLastError()));
    WriteAndFlush(f.get(), text);
  } catch (const std::exception& e) {
    fw::DebugOutput(std::string("The run log could not be written: ") + e.what());
  }
}

}  // namespace naveko
