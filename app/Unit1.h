// The main window: two pictures, the hidden price table and the update button.
#pragma once
#include "db/connection.h"
#include "db/query.h"
#include "framework/win/extctrls.h"
#include "framework/win/forms.h"
#include "framework/win/grids.h"
#include "framework/win/stdctrls.h"
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
};

// The application title: the product word, a dash, a blank and the maker's telephone number.
inline constexpr const wchar_t* kApplicationTitle = L"NAVEKO- 0944361752";

// The pharmacy database: the local sqlexpress instance, catalog PilvaroM1, Windows authentication.
inline constexpr const char* kConnectionString =
    "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=PilvaroM1;"
    "Data Source=.\\sqlexpress";

// The messages of the window ("There is a problem connecting to the database",
// "There is a problem downloading from the site").
inline constexpr const wchar_t* kDatabaseProblem = L"هناك مشكلة بالارتباط بقاعدة البيانات";
inline constexpr const wchar_t* kDownloadProblem = L"هناك مشكلة بالتحميل من الموقع";

// The outcomes of an update run ("An error occurred while loading the prices
// from the site", "Not all prices were updated correctly.. please repeat the
// update", "The update operation completed successfully").
inline constexpr const wchar_t* kImportProblem = L"حدث خطأ بتحميل الاسعار من الموقع";
inline constexpr const wchar_t* kUpdateIncomplete = L"لم يتم تحديث جميع الاسعار بطريقة صحيحة ..يرجى اعادة التحديث";
inline constexpr const wchar_t* kUpdateDone = L"تمت عملية التحديث بنجاح";
