#include "app/win/undo_command.h"

#include <windows.h>

#include <optional>

#include "app/core/odbc_price_store.h"
#include "app/core/price_undo.h"
#include "app/program_texts.h"
#include "app/win/journal_file.h"
#include "app/win/run_log_file.h"
#include "app/win/user_folder.h"
#include "db/connection.h"
#include "db/query.h"
#include "framework/core/text.h"
#include "framework/win/forms.h"
#include "framework/win/sysutils.h"

namespace naveko {

namespace {

int Finish(TLogBlock& log, const std::wstring& message, int code) {
  log.Add("message", fw::WideToUtf8(message));
  log.Add("exit code", std::to_string(code));
  WriteLogBlock(log);
  fw::Application->MessageBox(message);
  return code;
}

}  // namespace

int RefuseUndoWhileAnotherCopyRuns() {
  TLogBlock log = NewLogBlock("undo");
  log.Add("refused", "another copy of the program is running");
  return Finish(log, kUndoProblem, 1);
}

bool IsUndoCommand(const std::vector<std::wstring>& args, std::wstring& file) {
  if (args.size() < 2 || ::lstrcmpiW(args[1].c_str(), L"/undo") != 0) return false;
  file = args.size() > 2 ? args[2] : std::wstring();
  return true;
}

int RunUndoCommand(const std::wstring& named) {
  TLogBlock log = NewLogBlock("undo");
  db::TDatabaseConnection connection(nullptr);
  connection.SetCommandTimeout(kCommandTimeout);
  db::TDatabaseQuery query(nullptr);
  query.SetCommandTimeout(kCommandTimeout);
  std::optional<TOdbcPriceStore> store;
  // The database is opened only once the whole journal was read and found sound.
  auto open = [&]() -> TPriceStore& {
    connection.SetConnectionString(kConnectionString);
    connection.Open();
    query.SetConnection(&connection);
    return store.emplace(query);
  };
  TJournalFiles folder;
  const TUndoCommandResult run = RunUndoCommand(folder, fw::WideToUtf8(named), open);
  switch (run.Status) {
    case TUndoStatus::NothingToUndo:
      log.Add("journal", "none in " + fw::WideToUtf8(JournalFolder()));
      return Finish(log, kNothingToUndo, 2);
    case TUndoStatus::JournalRefused:
      log.Add("journal", run.Journal);
      log.Add("journal refused", run.Why);
      return Finish(log, kUndoProblem, 1);
    case TUndoStatus::DatabaseFailed:
      log.Add("journal", run.Journal);
      log.Add("database", "failed: " + run.Why);
      return Finish(log, kUndoProblem, 1);
    default: break;
  }
  const TUndoResult& result = run.Undo;
  log.Add("journal", run.Journal);
  log.Add("database", std::string("connected to ") + kDatabaseName);
  if (result.Finishing) log.Add("finishes", "an undo that stopped before its end");
  log.Add("rows the update wrote", std::to_string(result.Candidates));
  log.Add("rows restored", std::to_string(result.Restored));
  log.Add("rows left, changed since", std::to_string(result.LeftChanged));
  if (!result.Notes.empty()) log.Add("notes", result.Notes);
  log.Add("own journal", run.OwnJournal.empty() ? std::string("none") : run.OwnJournal);
  if (!result.JournalError.empty()) log.Add("own journal's final form", "not written: " + result.JournalError);
  if (run.Status != TUndoStatus::Done) {
    log.Add("stopped",
            (result.FailedRow > 0 ? "at sheet row " + std::to_string(result.FailedRow) + ": " : "") + result.Error);
    return Finish(log, kUndoProblem, 1);
  }
  const std::wstring message = std::wstring(kUndoDone) + L"\n" + kUndoRestoredCount + std::to_wstring(result.Restored) +
                               L"\n" + kUndoLeftCount + std::to_wstring(result.LeftChanged);
  return Finish(log, message, 0);
}

}  // namespace naveko
