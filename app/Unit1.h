// The main window: two pictures, the hidden price table and the update button.
#pragma once
#include "framework/win/extctrls.h"
#include "framework/win/forms.h"
#include "framework/win/grids.h"
#include "framework/win/stdctrls.h"

class TForm1 : public fw::TForm {
 public:
  explicit TForm1(fw::TComponent* owner);
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Components of the stored layout, bound by name after reading it.
  fw::TImage* Image2 = nullptr;
  fw::TImage* Image1 = nullptr;
  fw::TStringGrid* StringGrid1 = nullptr;
  fw::TButton* UploadBut = nullptr;

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
