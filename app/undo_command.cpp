#include "app/undo_command.h"

#include <windows.h>

#include "app/core/price_undo.h"
#include "app/journal_file.h"
#include "app/program_texts.h"
#include "app/run_log_file.h"
#include "app/user_folder.h"
#include "db/connection.h"
#include "db/query.h"
#include "framework/core/text.h"
#include "framework/win/forms.h"
#include "framework/win/sysutils.h"

namespace {

constexpr size_t kJournalLimit = 512u * 1024 * 1024;

std::string AnsiToUtf8(const std::string& s) { return fw::WideToUtf8(fw::AnsiToWide(s)); }

int Finish(naveko::TLogBlock& log, const std::wstring& message, int code) {
  log.Add("message", fw::WideToUtf8(message));
  log.Add("exit code", std::to_string(code));
  WriteLogBlock(log);
  fw::Application->MessageBox(message);
  return code;
}

}  // namespace

bool IsUndoCommand(const std::vector<std::wstring>& args, std::wstring& file) {
  if (args.size() < 2 || ::lstrcmpiW(args[1].c_str(), L"/undo") != 0) return false;
  file = args.size() > 2 ? args[2] : std::wstring();
  return true;
}

int RunUndoCommand(const std::wstring& named) {
  naveko::TLogBlock log = NewLogBlock("undo");
  const std::wstring path = named.empty() ? NewestJournal() : named;
  if (path.empty()) {
    log.Add("journal", "none in " + fw::WideToUtf8(JournalFolder()));
    return Finish(log, kNothingToUndo, 2);
  }
  log.Add("journal", fw::WideToUtf8(path));

  // The whole journal is read and checked before the first statement.
  std::vector<naveko::TJournalRow> rows;
  try {
    rows = naveko::ParseJournal(ReadWholeFile(path, kJournalLimit));
  } catch (const std::exception& e) {
    log.Add("journal refused", e.what());
    return Finish(log, kUndoProblem, 1);
  }

  db::TDatabaseConnection connection(nullptr);
  connection.SetCommandTimeout(kCommandTimeout);
  try {
    connection.SetConnectionString(kConnectionString);
    connection.Open();
    log.Add("database", std::string("connected to ") + kDatabaseName);
  } catch (const std::exception& e) {
    log.Add("database", "failed: " + AnsiToUtf8(e.what()));
    return Finish(log, kUndoProblem, 1);
  }
  db::TDatabaseQuery query(nullptr);
  query.SetCommandTimeout(kCommandTimeout);
  query.SetConnection(&connection);

  TJournalFile own;
  naveko::TRunJournal journal(own);
  const naveko::TUndoResult result = naveko::UndoPriceUpdate(rows, query, journal, SystemCodePage());
  log.Add("rows the update wrote", std::to_string(result.Candidates));
  log.Add("rows restored", std::to_string(result.Restored));
  log.Add("rows left, changed since", std::to_string(result.LeftChanged));
  log.Add("own journal", own.Path().empty() ? std::string("none") : fw::WideToUtf8(own.Name()));
  if (!result.JournalError.empty()) log.Add("own journal's final form", "not written: " + result.JournalError);
  if (!result.Done) {
    log.Add("stopped", (result.FailedRow > 0 ? "at sheet row " + std::to_string(result.FailedRow) + ": " : "") +
                           AnsiToUtf8(result.Error));
    return Finish(log, kUndoProblem, 1);
  }
  const std::wstring message = std::wstring(kUndoDone) + L"\n" + kUndoRestoredCount +
                               std::to_wstring(result.Restored) + L"\n" + kUndoLeftCount +
                               std::to_wstring(result.LeftChanged);
  return Finish(log, message, 0);
}
