// The program's fixed texts: its title, the pharmacy database's connection
// string and every message it shows.
#pragma once

// The application title: the product word, a dash, a blank and the maker's telephone number.
inline constexpr const wchar_t* kApplicationTitle = L"NAVEKO- 0944361752";
// The main window's caption ("NAVEKO medicine update"), as its stored layout gives it.
inline constexpr const wchar_t* kMainCaption = L"NAVEKO تحديث ادوية";
// The code page of the program's own texts (its layout's captions): Arabic,
// whatever the workstation's language for non-Unicode programs.
inline constexpr unsigned kTextCodePage = 1256;

// The pharmacy database: the local sqlexpress instance, catalog PilvaroM1, Windows authentication.
inline constexpr const char* kConnectionString =
    "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=PilvaroM1;"
    "Data Source=.\\sqlexpress";
inline constexpr const char* kDatabaseName = "PilvaroM1 on .\\sqlexpress";
inline constexpr int kCommandTimeout = 50;  // seconds

// The messages of the window ("There is a problem connecting to the database",
// "There is a problem downloading from the site").
inline constexpr const wchar_t* kDatabaseProblem = L"هناك مشكلة بالارتباط بقاعدة البيانات";
inline constexpr const wchar_t* kDownloadProblem = L"هناك مشكلة بالتحميل من الموقع";

// The outcomes of an update run ("An error occurred while loading the prices
// from the site", "Not all prices were updated correctly.. please repeat the
// update", "The update operation completed successfully", "Could not save a
// copy of the current prices; the prices were not updated").
inline constexpr const wchar_t* kImportProblem = L"حدث خطأ بتحميل الاسعار من الموقع";
inline constexpr const wchar_t* kUpdateIncomplete = L"لم يتم تحديث جميع الاسعار بطريقة صحيحة ..يرجى اعادة التحديث";
inline constexpr const wchar_t* kUpdateDone = L"تمت عملية التحديث بنجاح";
inline constexpr const wchar_t* kSnapshotProblem = L"تعذر حفظ نسخة من الاسعار الحالية، لم يتم تحديث الاسعار";
// When it was the database that refused to give the current prices ("The
// current prices could not be read from the database; the prices were not
// updated"): the advice is about the database's rights, not the disk.
inline constexpr const wchar_t* kSnapshotUnread =
    L"تعذرت قراءة الاسعار الحالية من قاعدة البيانات، لم يتم تحديث الاسعار";

// The outcomes of the way back, Project2.exe /undo ("The previous prices were
// restored", followed by the counts of the items restored and of the items
// left because their prices changed after the update; "The previous prices
// could not be restored"; "There is no earlier update to restore").
inline constexpr const wchar_t* kUndoDone = L"تمت استعادة الاسعار السابقة";
inline constexpr const wchar_t* kUndoRestoredCount = L"الاصناف المستعادة: ";
inline constexpr const wchar_t* kUndoLeftCount = L"الاصناف المتروكة لتغير اسعارها بعد التحديث: ";
inline constexpr const wchar_t* kUndoProblem = L"تعذرت استعادة الاسعار السابقة";
inline constexpr const wchar_t* kNothingToUndo = L"لا يوجد تحديث سابق لاستعادته";
