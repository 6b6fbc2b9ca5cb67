#include "app/Unit1.h"

#include <cstdio>

#include "app/core/price_update.h"
#include "app/journal_file.h"
#include "app/price_list.h"
#include "app/run_log_file.h"
#include "framework/core/exception.h"
#include "framework/core/text.h"
#include "framework/win/sysutils.h"
#include "spreadsheet/win/read_workbook.h"

using namespace fw;

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
std::string AnsiToUtf8(const std::string& s) { return fw::WideToUtf8(fw::AnsiToWide(s)); }

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

// Opens the database, then fetches the price list; the button stays enabled
// only when both succeeded. The run log gets one block for the start.
void TForm1::FormShow(TObject*) {
  naveko::TLogBlock log = NewLogBlock("start");
  try {
    ADOConnection1->SetConnectionString(kConnectionString);
    ADOConnection1->Open();
    log.Add("database", std::string("connected to ") + kDatabaseName);
  } catch (const std::exception& e) {
    log.Add("database", "failed: " + AnsiToUtf8(e.what()));
    Report(log, kDatabaseProblem);
    UploadBut->SetEnabled(false);
    return;
  } catch (...) {
    log.Add("database", "failed");
    Report(log, kDatabaseProblem);
    UploadBut->SetEnabled(false);
    return;
  }
  log.Add("address", PriceListUrl);
  try {
    TDownloadReport seen;
    const HRESULT hr = DownloadPriceList(&seen);
    log.Add("download", DownloadText(seen));
    log.Add(hr == S_OK ? "kept at" : "not kept at", AnsiToUtf8(PriceListFile()));
    if (hr == S_OK) {
      WriteLogBlock(log);
      UploadBut->SetEnabled(true);
    } else {
      // The message comes first, while the window is not yet on the screen.
      Report(log, kDownloadProblem);
      Close();
      UploadBut->SetEnabled(false);
    }
  } catch (const std::exception& e) {
    log.Add("download", "failed: " + AnsiToUtf8(e.what()));
    Report(log, kDownloadProblem);
  } catch (...) {
    log.Add("download", "failed");
    Report(log, kDownloadProblem);
  }
}

// Removes the fetched workbook whatever became of it; the close action stays as it is.
void TForm1::FormClose(TObject*, TCloseAction&) { ::DeleteFileA(PriceListFile().c_str()); }

// Imports the workbook into the table, keeps the current prices of every
// listed medicine in a journal, then updates the prices row by row, recording
// each; one message tells how it went, and the run log gets one block. The
// button stays enabled for another run.
void TForm1::TeButton1Click(TObject*) {
  fw::TStringTable& table = StringGrid1->Table();
  naveko::TLogBlock log = NewLogBlock("update");
  log.Add("workbook", AnsiToUtf8(PriceListFile()));
  sheet::TReaderUsed reader{};
  try {
    naveko::ClearTable(table);
    reader = sheet::ReadWorkbook(table, PriceListFile());
  } catch (const std::exception& e) {
    ::OutputDebugStringA(("Price list import failed: " + std::string(e.what())).c_str());
    log.Add("import failed", AnsiToUtf8(e.what()));
    Report(log, kImportProblem);
    return;
  } catch (...) {
    log.Add("import failed", "unknown error");
    Report(log, kImportProblem);
    return;
  }
  log.Add("reader", reader == sheet::TReaderUsed::SpreadsheetApplication ? "the spreadsheet application"
                                                                         : "the built-in reader");
  log.Add("rows read", std::to_string(table.RowCount() - 2));

  TJournalFile file;
  naveko::TRunJournal journal(file);
  const naveko::TUpdateResult result =
      naveko::RunPriceUpdate(table, *qgeneral, fw::LocaleDecimalSeparator(), &journal, SystemCodePage());
  log.Add("keys listed", std::to_string(result.ListedKeys));
  log.Add("journal", file.Path().empty() ? std::string("none") : Utf8(file.Name()));
  if (result.Outcome == naveko::TUpdateOutcome::SnapshotFailed) {
    log.Add("snapshot failed", AnsiToUtf8(result.Error));
    Report(log, kSnapshotProblem);
    return;
  }
  log.Add("statements run", std::to_string(result.StatementsRun));
  log.Add("rows changed", std::to_string(result.RowsChanged));
  if (!result.JournalError.empty()) log.Add("journal's final form", "not written: " + result.JournalError);
  if (result.Outcome != naveko::TUpdateOutcome::Success) {
    ::OutputDebugStringA(("Price update stopped at row " + std::to_string(result.FailedRow) + ": " + result.Error).c_str());
    log.Add("stopped at", "sheet row " + std::to_string(result.FailedRow + 1) + ": " + AnsiToUtf8(result.Error));
    Report(log, kUpdateIncomplete);
    return;
  }
  Report(log, kUpdateDone);
}
