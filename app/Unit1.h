// The main window: two pictures, the hidden price table and the update button.
#pragma once
#include "app/core/price_update.h"
#include "app/core/run_log.h"
#include "app/program_texts.h"
#include "db/connection.h"
#include "db/query.h"
#include "framework/win/extctrls.h"
#include "framework/win/forms.h"
#include "framework/win/grids.h"
#include "framework/win/stdctrls.h"
#include "spreadsheet/win/read_workbook.h"
#include "themed/win/te_controls.h"

class TForm1 : public fw::TForm {
 public:
  explicit TForm1(fw::TComponent* owner);
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Components of the stored layout, bound by name after reading it.
  fw::TImage* Image2 = nullptr;
  fw::TImage* Image1 = nullptr;
  fw::TStringGrid* StringGrid1 = nullptr;
  te::TTeButton* UploadBut = nullptr;
  db::TDatabaseConnection* ADOConnection1 = nullptr;
  db::TDatabaseQuery* qgeneral = nullptr;

  // The three handlers that carry the program's work.
  void FormShow(fw::TObject* sender);
  void FormClose(fw::TObject* sender, fw::TCloseAction& action);
  void TeButton1Click(fw::TObject* sender);

  std::any FindMethod(const std::string& name) override;

 protected:
  void Notification(fw::TComponent* c, fw::TOperation op) override;
  void WndProc(fw::TMessage& m) override;

 private:
  // The database, then the price list: posted by FormShow, so that it runs
  // once the window is on the screen.
  void StartUp();
  void EnableButton();

  // What an update's work left for its report.
  struct TUpdateRun {
    enum class TStage { DatabaseLost, ImportFailed, Ran } Stage = TStage::Ran;
    std::string ImportError;
    sheet::TReadReport Reader;
    naveko::TUpdateResult Result;
  };
  bool ReopenIfEnded(naveko::TLogBlock& log);
  void ReportUpdate(naveko::TLogBlock& log, const TUpdateRun& run, const std::string& journalName);
  // While the start-up's or an update's work goes, the window answers but
  // takes no input, and a request to close waits for the work's end.
  bool busy_ = false;
  bool closeRequested_ = false;
};
