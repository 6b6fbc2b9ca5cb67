#include "app/Unit1.h"

#include "app/core/price_update.h"
#include "app/price_list.h"
#include "framework/core/exception.h"
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

// Opens the database, then fetches the price list; the button stays enabled
// only when both succeeded.
void TForm1::FormShow(TObject*) {
  try {
    ADOConnection1->SetConnectionString(kConnectionString);
    ADOConnection1->Open();
  } catch (...) {
    Application->MessageBox(kDatabaseProblem);
    UploadBut->SetEnabled(false);
    return;
  }
  try {
    if (DownloadPriceList() == S_OK) {
      UploadBut->SetEnabled(true);
    } else {
      // The message comes first, while the window is not yet on the screen.
      Application->MessageBox(kDownloadProblem);
      Close();
      UploadBut->SetEnabled(false);
    }
  } catch (...) {
    Application->MessageBox(kDownloadProblem);
  }
}

// Removes the fetched workbook whatever became of it; the close action stays as it is.
void TForm1::FormClose(TObject*, TCloseAction&) { ::DeleteFileA(PriceListFile().c_str()); }

// Imports the workbook into the table, then updates the prices row by row;
// one message tells how it went. The button stays enabled for another run.
void TForm1::TeButton1Click(TObject*) {
  fw::TStringTable& table = StringGrid1->Table();
  try {
    naveko::ClearTable(table);
    sheet::ReadWorkbook(table, PriceListFile());
  } catch (const std::exception& e) {
    ::OutputDebugStringA(("Price list import failed: " + std::string(e.what())).c_str());
    Application->MessageBox(kImportProblem);
    return;
  } catch (...) {
    Application->MessageBox(kImportProblem);
    return;
  }
  const naveko::TUpdateResult result = naveko::RunPriceUpdate(table, *qgeneral, fw::LocaleDecimalSeparator());
  if (result.Outcome != naveko::TUpdateOutcome::Success) {
    ::OutputDebugStringA(("Price update stopped at row " + std::to_string(result.FailedRow) + ": " + result.Error).c_str());
    Application->MessageBox(kUpdateIncomplete);
    return;
  }
  Application->MessageBox(kUpdateDone);
}
