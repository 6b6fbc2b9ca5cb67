// Where the journals live: one file per run in %LOCALAPPDATA%\NAVEKO\journal,
// named by the run's local date and time (2026-12-10_083015.csv; a second run
// in the same second is 2026-12-10_083015-2.csv). A journal is never
// overwritten, and nothing here deletes one that holds a run's record.
#pragma once
#include <memory>
#include <string>

#include "app/core/journal.h"
#include "app/core/price_undo.h"
#include "framework/win/handles.h"

namespace naveko {

// %LOCALAPPDATA%\NAVEKO\journal (not made here).
std::wstring JournalFolder();

// The newest journal of the folder by the time in its name; empty when there is none.
std::wstring NewestJournal();

// A journal being written. The snapshot goes to a temporary file, which the
// first flush puts on the disk and renames into place under the run's name,
// so that a journal is never seen without its whole snapshot (a program ended
// while writing it leaves only the temporary file, which nothing reads); later
// appends go to the end of the named file and reach the disk with each flush.
class TJournalFile : public TJournalSink {
 public:
  ~TJournalFile() override;
  void Append(std::string_view bytes) override;
  void Flush() override;
  void Replace(std::string_view bytes) override;
  std::string Name() const override;  // the file name alone in UTF-8, empty before the file is made
  const std::wstring& Path() const { return path_; }

 private:
  void CreateTemporary();
  void NameIt();
  fw::UniqueFile file_;
  std::wstring temporary_, path_;
  std::string stamp_;
};

// The journal folder of the way back: names are paths in UTF-8.
class TJournalFiles : public TJournalFolder {
 public:
  std::string Newest() override;
  std::string Read(const std::string& name) override;
  std::unique_ptr<TJournalSink> Create() override;
};

}  // namespace naveko
