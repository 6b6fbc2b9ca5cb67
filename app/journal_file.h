// Where the journals live: one file per run in %LOCALAPPDATA%\NAVEKO\journal,
// named by the run's local date and time (2026-12-10_083015.csv; a second run
// in the same second is 2026-12-10_083015-2.csv). A journal is never
// overwritten, and nothing here deletes one that holds a run's record.
#pragma once
#include <string>

#include "app/core/journal.h"
#include "framework/win/handles.h"

// %LOCALAPPDATA%\NAVEKO\journal (not made here).
std::wstring JournalFolder();

// The newest journal of the folder by the time in its name; empty when there is none.
std::wstring NewestJournal();

// A journal being written: the file is made by the first Append (the
// snapshot); if that first write fails, the file goes again, since no
// statement has run. Each Append is flushed to the disk before it returns.
class TJournalFile : public naveko::TJournalSink {
 public:
  void Append(std::string_view bytes) override;
  void Replace(std::string_view bytes) override;
  const std::wstring& Path() const { return path_; }
  std::wstring Name() const;  // the file name alone, empty before the file is made

 private:
  void Create();
  fw::UniqueFile file_;
  std::wstring path_;
};

// The program's 8-bit text and the journal's UTF-8, through the system code page.
naveko::TTextCodec SystemCodePage();
