#include "app/Unit1.h"

#include <atomic>
#include <cstdio>

#include "app/core/odbc_price_store.h"
#include "app/core/price_update.h"
#include "app/win/journal_file.h"
#include "app/win/price_list.h"
#include "app/win/run_log_file.h"
#include "framework/core/exception.h"
#include "framework/core/text.h"
#include "framework/win/answering_wait.h"
#include "framework/win/sysutils.h"
#include "framework/win/taskbar_progress.h"
#include "spreadsheet/win/read_workbook.h"

using namespace fw;
using naveko::DownloadPriceList;
using naveko::NewLogBlock;
using naveko::PriceListFile;
using naveko::PriceListUrl;
using naveko::TDownloadReport;
using naveko::TJournalFile;
using naveko::WriteLogBlock;

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  InitInheritedComponent();
  Image2 = dynamic_cast<TImage*>(FindComponent("Image2"));
  Image1 = dynamic_cast<TImage*>(FindComponent("Image1"));
  StringGrid1 = dynamic_cast<TStringGrid*>(FindComponent("StringGrid1"));
  UploadBut = dynamic_cast<te::TTeButton*>(FindComponent("UploadBut"));
  ADOConnection1 = dynamic_cast<db::TDatabaseConnection*>(FindComponent("ADOConnection1"));
  qgeneral = dynamic_cast<db::TDatabaseQuery*>(FindComponent("qgeneral"));
  if (!Image2 || !Image1 || !StringGrid1 || !UploadBut || !ADOConnection1 || !qgeneral)
    throw EReadError("The main window's layout is incomplete");
}

const TClassInfo& TForm1::StaticClassInfo() {
  static const TClassInfo info("TForm1", &TForm::StaticClassInfo(),
                               [](TComponent* o) -> TComponent* { return new TForm1(o); });
  return info;
}

std::any TForm1::FindMethod(const std::string& name) {
  if (name == "FormShow") return std::function<void(TObject*)>([this](TObject* s) { FormShow(s); });
  if (name == "TeButton1Click") return std::function<void(TObject*)>([this](TObject* s) { TeButton1Click(s); });
  if (name == "FormClose")
    return std::function<void(TObject*, TCloseAction&)>([this](TObject* s, TCloseAction& a) { FormClose(s, a); });
  return TForm::FindMethod(name);
}

void TForm1::Notification(TComponent* c, TOperation op) {
  TForm::Notification(c, op);
  if (op != TOperation::opRemove) return;
  if (c == Image2) Image2 = nullptr;
  if (c == Image1) Image1 = nullptr;
  if (c == StringGrid1) StringGrid1 = nullptr;
  if (c == UploadBut) UploadBut = nullptr;
  if (c == ADOConnection1) ADOConnection1 = nullptr;
  if (c == qgeneral) qgeneral = nullptr;
}

namespace {

std::string Utf8(const std::wstring& s) { return fw::WideToUtf8(s); }

std::string DownloadText(const TDownloadReport& seen) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(seen.Result));
  const std::string answer =
      seen.HttpStatus ? "HTTP " + std::to_string(seen.HttpStatus) : std::string("no HTTP answer");
  if (seen.Result == S_OK) return answer + ", " + std::to_string(seen.Bytes) + " bytes";
  return "failed: " + answer + ", result " + code;
}

// Writes the block with the message it is about to show, then shows it, so
// that the log tells even while the box is still open.
void Report(naveko::TLogBlock& log, const wchar_t* message) {
  log.Add("message", Utf8(message));
  WriteLogBlock(log);
  Application->MessageBox(message);
}

}  // namespace

namespace {

// Posted by FormShow to itself: the start-up's work begins once the window is shown.
constexpr UINT kStartUpMessage = WM_APP + 1;

// Marks the window busy for as long as it lives; a close asked for meanwhile happens at its end.
class TBusy {
 public:
  TBusy(bool& busy, bool& closeRequested, TForm& form) : busy_(busy), closeRequested_(closeRequested), form_(form) {
    busy_ = true;
  }
  ~TBusy() {
    busy_ = false;
    if (closeRequested_) {
      closeRequested_ = false;
      form_.Close();
    }
  }
  TBusy(const TBusy&) = delete;
  TBusy& operator=(const TBusy&) = delete;

 private:
  bool& busy_;
  bool& closeRequested_;
  TForm& form_;
};

}  // namespace

void TForm1::WndProc(TMessage& m) {
  if (m.Msg == kStartUpMessage) {
    StartUp();
    return;
  }
  TForm::WndProc(m);
}

// The window shows first, its button disabled; the database and the price
// list follow once it is on the screen (StartUp).
void TForm1::FormShow(TObject*) {
  UploadBut->SetEnabled(false);
  ::PostMessageW(Handle(), kStartUpMessage, 0, 0);
}

// Opens the database, then fetches the price list, the window answering
// meanwhile; the button is enabled only when both succeeded. The run log gets
// one block for the start.
void TForm1::StartUp() {
  enum class TOutcome { DatabaseFailed, Fetched, FetchFailed, FetchRaised } outcome = TOutcome::Fetched;
  naveko::TLogBlock log = NewLogBlock("start");
  TBusy busy(busy_, closeRequested_, *this);
  fw::RunWhileAnswering(Handle(), [&] {
    try {
      ADOConnection1->SetConnectionString(kConnectionString);
      ADOConnection1->Open();
      log.Add("database", std::string("connected to ") + kDatabaseName);
    } catch (const std::exception& e) {
      log.Add("database", "failed: " + std::string(e.what()));
      outcome = TOutcome::DatabaseFailed;
      return;
    }
    log.Add("address", PriceListUrl);
    try {
      TDownloadReport seen;
      const HRESULT hr = DownloadPriceList(&seen);
      log.Add("download", DownloadText(seen));
      log.Add(hr == S_OK ? "kept at" : "not kept at", AnsiToUtf8(PriceListFile()));
      outcome = hr == S_OK ? TOutcome::Fetched : TOutcome::FetchFailed;
    } catch (const std::exception& e) {
      log.Add("download", "failed: " + std::string(e.what()));
      outcome = TOutcome::FetchRaised;
    }
  });
  switch (outcome) {
    case TOutcome::DatabaseFailed: Report(log, kDatabaseProblem); return;
    case TOutcome::Fetched:
      WriteLogBlock(log);
      EnableButton();
      return;
    case TOutcome::FetchFailed:
      Report(log, kDownloadProblem);
      Close();
      return;
    case TOutcome::FetchRaised: Report(log, kDownloadProblem); return;
  }
}

// The button takes input again, and the focus it had while the window is the
// active one (disabling it while the work went took the focus away).
void TForm1::EnableButton() {
  if (!UploadBut) return;
  UploadBut->SetEnabled(true);
  if (HandleAllocated() && ::GetActiveWindow() == HandleNoCreate() && UploadBut->CanFocus()) UploadBut->SetFocus();
}

// Removes the fetched workbook whatever became of it; the close action stays
// as it is, unless work is going, which the close then waits for.
void TForm1::FormClose(TObject*, TCloseAction& action) {
  if (busy_) {
    action = TCloseAction::caNone;
    closeRequested_ = true;
    return;
  }
  ::DeleteFileA(PriceListFile().c_str());
}

// Imports the workbook into the table, keeps the current prices of every
// listed medicine in a journal, then updates the prices row by row, recording
// each, the window answering meanwhile and the taskbar button showing the
// rows done; one message tells how it went, and the run log gets one block.
// The button is enabled again for another run.
void TForm1::TeButton1Click(TObject*) {
  naveko::TLogBlock log = NewLogBlock("update");
  UploadBut->SetEnabled(false);
  struct TEnableAgain {
    TForm1& Form;
    ~TEnableAgain() { Form.EnableButton(); }
  } enableAgain{*this};
  TBusy busy(busy_, closeRequested_, *this);
  fw::TTaskbarProgress progress(Application->Handle());
  std::atomic<int> done{0}, listed{0};

  TUpdateRun run;
  TJournalFile file;
  naveko::TRunJournal journal(file);
  log.Add("workbook", AnsiToUtf8(PriceListFile()));
  fw::RunWhileAnswering(
      Handle(),
      [&] {
        if (!ReopenIfEnded(log)) {
          run.Stage = TUpdateRun::TStage::DatabaseLost;
          return;
        }
        try {
          naveko::ClearTable(StringGrid1->Table());
          run.Reader = sheet::ReadWorkbook(StringGrid1->Table(), PriceListFile());
        } catch (const std::exception& e) {
          run.ImportError = e.what();
          run.Stage = TUpdateRun::TStage::ImportFailed;
          return;
        }
        try {
          naveko::TOdbcPriceStore store(*qgeneral);
          run.Result = naveko::RunPriceUpdate(StringGrid1->Table(), store, fw::LocaleDecimalSeparator(), &journal,
                                              [&](int n, int of) {
                                                listed = of;
                                                done = n;
                                              });
        } catch (const std::exception& e) {
          run.Result.Outcome = naveko::TUpdateOutcome::SnapshotUnread;
          run.Result.Error = e.what();
        }
      },
      [&] {
        if (listed > 0) progress.Set(unsigned(done.load()), unsigned(listed.load()));
      });
  // The taskbar shows a run stopped part way (some rows written) until the message closes.
  if (run.Stage == TUpdateRun::TStage::Ran && run.Result.Outcome == naveko::TUpdateOutcome::RowFailed)
    progress.Stopped();
  ReportUpdate(log, run, file.Name());
}

// A session the server ended since the window opened (a restart of the
// service) is opened again, once; false when it could not be.
bool TForm1::ReopenIfEnded(naveko::TLogBlock& log) {
  if (ADOConnection1->Alive()) return true;
  try {
    ADOConnection1->Close();
    ADOConnection1->Open();
    log.Add("database", "connection lost since the start, opened again");
    return true;
  } catch (const std::exception& e) {
    log.Add("database", "connection lost since the start, not opened again: " + std::string(e.what()));
    return false;
  }
}

// The run log's block for an update and the one message that tells its outcome.
void TForm1::ReportUpdate(naveko::TLogBlock& log, const TUpdateRun& run, const std::string& journalName) {
  if (run.Stage == TUpdateRun::TStage::DatabaseLost) {
    Report(log, kDatabaseProblem);
    return;
  }
  if (run.Stage == TUpdateRun::TStage::ImportFailed) {
    fw::DebugOutput("Price list import failed: " + run.ImportError);
    log.Add("import failed", run.ImportError);
    Report(log, kImportProblem);
    return;
  }
  const naveko::TUpdateResult& result = run.Result;
  if (!run.Reader.AutomationFailure.empty())
    log.Add("spreadsheet application", "failed: " + run.Reader.AutomationFailure);
  log.Add("reader", run.Reader.Reader == sheet::TReaderUsed::SpreadsheetApplication ? "the spreadsheet application"
                                                                                    : "the built-in reader");
  // The import leaves R + 2 rows for a sheet whose last cell is in row R.
  log.Add("rows read", std::to_string(StringGrid1->Table().RowCount() - 2));
  log.Add("keys listed", std::to_string(result.ListedKeys));
  log.Add("journal", journalName.empty() ? std::string("none") : journalName);
  if (result.Outcome == naveko::TUpdateOutcome::SnapshotUnread) {
    log.Add("snapshot not read", "the database refused: " + result.Error);
    Report(log, kSnapshotUnread);
    return;
  }
  if (result.Outcome == naveko::TUpdateOutcome::SnapshotFailed) {
    log.Add("snapshot failed", "not kept on the disk: " + result.Error);
    Report(log, kSnapshotProblem);
    return;
  }
  log.Add("statements run", std::to_string(result.StatementsRun));
  log.Add("rows changed", std::to_string(result.RowsChanged));
  if (!result.JournalError.empty()) log.Add("journal's final form", "not written: " + result.JournalError);
  if (result.Outcome != naveko::TUpdateOutcome::Success) {
    fw::DebugOutput("Price update stopped at sheet row " + std::to_string(result.FailedRow) + ": " + result.Error);
    log.Add("stopped at", "sheet row " + std::to_string(result.FailedRow) + ": " + result.Error);
    Report(log, kUpdateIncomplete);
    return;
  }
  Report(log, kUpdateDone);
}
