// Nothing lost when the program is ended at any instant: an update and an undo
// over a database and a journal folder that fail, or stop dead, at their n-th
// operation, for every n, the way SQLite tests its journal. After each, /undo
// (again, when the one interrupted was an undo) must leave mat00 exactly as it
// was before the update.
//
// The doubles are as strict as the platform they stand for:
// - the folder: appended bytes reach the disk only with a flush; a crash loses
//   what was not flushed, or keeps a torn part of it (a power cut); a journal
//   appears under its name only with its first flush; a replace is a write of
//   a temporary file, its flush and a rename, and a crash before the rename
//   leaves the old file;
// - the database: each statement commits by itself; a column of kind
//   numeric(18,2) keeps a sent 12.345 as 12.35 and spells two decimals, one
//   of kind float keeps the double; a failure may come before a statement
//   takes effect or after it did (a trigger's error); a probe that is rolled
//   back leaves nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "app/core/price_undo.h"
#include "app/core/price_update.h"

using namespace naveko;

namespace {

// How the n-th operation ends the world.
enum class TFault { Fail, FailAfter, Crash, CrashTorn, CrashAfter };
const char* Name(TFault f) {
  switch (f) {
    case TFault::Fail: return "fails";
    case TFault::FailAfter: return "fails after taking effect";
    case TFault::Crash: return "stops dead";
    case TFault::CrashTorn: return "stops dead, a write torn";
    case TFault::CrashAfter: return "stops dead after taking effect";
  }
  return "?";
}

struct TCrash {};  // no std::exception: nothing in the program catches it, as nothing runs after a crash

class TWorld {
 public:
  int Operations = 0;
  int At = 0;  // the operation that fails or stops; 0: none
  TFault Fault = TFault::Fail;
  bool Crashed = false;

  // Before an operation's effect: true when it is to take effect and then fail or stop.
  bool Before(const char* what) {
    if (Crashed) throw TCrash{};
    if (++Operations != At) return false;
    switch (Fault) {
      case TFault::Fail: throw std::runtime_error(std::string("injected: ") + what + " failed");
      case TFault::Crash:
      case TFault::CrashTorn: Crashed = true; throw TCrash{};
      default: return true;
    }
  }
  // After the effect of an operation that Before marked.
  void After(const char* what) {
    if (Fault == TFault::CrashAfter) {
      Crashed = true;
      throw TCrash{};
    }
    throw std::runtime_error(std::string("injected: ") + what + " failed after taking effect");
  }
  void Step(const char* what) {
    if (Before(what)) After(what);
  }
};

// --- the journal folder -----------------------------------------------------

struct TFile {
  std::string Disk, Pending;
  bool Visible = false;
};

class TMemoryFolder : public TJournalFolder {
 public:
  explicit TMemoryFolder(TWorld& world) : world_(world) {}

  std::string Newest() override {
    world_.Step("list the journals");
    for (auto it = files_.rbegin(); it != files_.rend(); ++it)
      if (it->second.Visible) return it->first;
    return {};
  }
  std::string Read(const std::string& name) override {
    world_.Step("read a journal");
    return files_.at(name).Disk;
  }
  std::unique_ptr<TJournalSink> Create() override;

  // After a crash: what was not flushed is gone, or (a power cut) partly written.
  void Restart(bool torn) {
    for (auto& [name, f] : files_) {
      if (torn) f.Disk += f.Pending.substr(0, f.Pending.size() / 2);
      f.Pending.clear();
    }
    world_.Crashed = false;
  }
  const std::map<std::string, TFile>& Files() const { return files_; }

 private:
  friend class TMemorySink;
  TWorld& world_;
  std::map<std::string, TFile> files_;  // by name, which sorts by creation
};

class TMemorySink : public TJournalSink {
 public:
  TMemorySink(TMemoryFolder& folder, std::string name) : folder_(folder), name_(std::move(name)) {}
  void Append(std::string_view bytes) override {
    const bool after = folder_.world_.Before("append");
    File().Pending.append(bytes);
    if (after) folder_.world_.After("append");
  }
  void Flush() override {
    const bool after = folder_.world_.Before("flush");
    TFile& f = File();
    f.Disk += f.Pending;
    f.Pending.clear();
    f.Visible = true;  // the first flush renames it into place
    if (after) folder_.world_.After("flush");
  }
  void Replace(std::string_view bytes) override {
    folder_.world_.Step("write the temporary file");
    folder_.world_.Step("flush the temporary file");
    const bool after = folder_.world_.Before("rename it into place");
    TFile& f = File();
    f.Disk.assign(bytes);
    f.Pending.clear();
    if (after) folder_.world_.After("rename");
  }
  std::string Name() const override { return File().Visible ? name_ : std::string(); }

 private:
  TFile& File() const { return folder_.files_[name_]; }
  TMemoryFolder& folder_;
  std::string name_;
};

std::unique_ptr<TJournalSink> TMemoryFolder::Create() {
  char name[16];
  std::snprintf(name, sizeof name, "j%04zu", files_.size() + 1);
  files_[name];
  return std::make_unique<TMemorySink>(*this, name);
}

// --- the database -----------------------------------------------------------

enum class TColumns { Numeric18x2, Float };

// mat00: the four prices of each key, as the database stores them (in its spelling).
class TMemoryStore : public TPriceStore {
 public:
  TMemoryStore(TWorld& world, std::map<std::string, TPrices>& rows, TColumns columns)
      : world_(world), rows_(rows), columns_(columns) {}

  std::vector<TRecordPrices> ReadAll(const std::vector<std::string>& keys) override {
    std::vector<TRecordPrices> out;
    for (size_t i = 0; i < keys.size(); ++i) {
      if (i % 100 == 0) world_.Step("select");  // a statement per 100 keys
      out.push_back(Lookup(keys[i]));
    }
    return out;
  }
  TRecordPrices Read(const std::string& key) override {
    world_.Step("select");
    return Lookup(key);
  }
  void Update(const std::string& key, const TValues& values) override {
    const bool after = world_.Before("update");
    if (auto it = rows_.find(key); it != rows_.end()) it->second = Stored(values);
    if (after) world_.After("update");
  }
  bool PutBack(const std::string& key, const TValues& values, const TPrices& expected) override {
    const bool after = world_.Before("conditional update");
    auto it = rows_.find(key);
    const bool match = it != rows_.end() && it->second == expected;
    if (match) it->second = Stored(values);
    if (after) world_.After("conditional update");
    return match;
  }
  TRecordPrices StoredForm(const std::string& key, const TValues& values) override {
    world_.Step("update, select and roll back");
    TRecordPrices out = Lookup(key);
    if (out.Records) out.Prices = Stored(values);
    return out;
  }

 private:
  TRecordPrices Lookup(const std::string& key) const {
    auto it = rows_.find(key);
    if (it == rows_.end()) return {};
    return {1, it->second};
  }
  // A value as the column keeps and spells it.
  TPrice Store(const db::TParamValue& v) const {
    if (std::holds_alternative<std::monostate>(v)) return std::nullopt;
    double d = 0;
    if (const double* p = std::get_if<double>(&v)) d = *p;
    if (const std::uint8_t* p = std::get_if<std::uint8_t>(&v)) d = *p;
    if (const std::string* p = std::get_if<std::string>(&v)) d = std::stod(*p);
    if (columns_ == TColumns::Numeric18x2) return Numeric2(*SentTexts({v, 0.0, 0.0, 0.0})[0]);
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
  }
  // A decimal as sent ("12.345", "-0.125", "100") rounded half away from zero
  // to two places and spelled with two decimals, as numeric(18,2) keeps it.
  static std::string Numeric2(const std::string& sent) {
    const bool negative = !sent.empty() && sent[0] == '-';
    const std::string digits = sent.substr(negative);
    const size_t dot = digits.find('.');
    std::string whole = digits.substr(0, dot), fraction = dot == std::string::npos ? "" : digits.substr(dot + 1);
    fraction += "000";
    long long cents = std::stoll(whole) * 100 + std::stoll(fraction.substr(0, 2)) + (fraction[2] >= '5');
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld", negative && cents ? "-" : "", cents / 100, cents % 100);
    return buf;
  }
  TPrices Stored(const TValues& values) const {
    TPrices out;
    for (size_t k = 0; k < 4; ++k) out[k] = Store(values[k]);
    return out;
  }
  TWorld& world_;
  std::map<std::string, TPrices>& rows_;
  TColumns columns_;
};

// --- the scenarios ----------------------------------------------------------

struct TCase {
  const char* Name;
  int Rows;
  TColumns Columns;
};

class TScenario {
 public:
  explicit TScenario(const TCase& c) : case_(c), folder_(world_) {
    // The price list: keys K1..Kn, one key not in mat00, an empty price, values that round.
    table_.SetColCount(5);
    table_.SetRowCount(c.Rows + 3);
    for (int i = 1; i <= c.Rows; ++i) {
      const std::string key = i == 2 ? "NOPE" : "K" + std::to_string(i);
      table_.SetCell(0, i, key);
      table_.SetCell(1, i, std::to_string(i) + ".345");
      table_.SetCell(2, i, i == 3 ? "" : std::to_string(10 + i));
      table_.SetCell(3, i, "0.125");
      table_.SetCell(4, i, std::to_string(i) + "e1");
      if (key != "NOPE") {
        TMemoryStore init(world_, mat00_, c.Columns);
        mat00_[key];
        init.Update(key, {1.5, 2.0, std::string("3"), 0.1});
      }
    }
    mat00_["OTHER"] = mat00_["K1"];
    before_ = mat00_;
  }

  TUpdateResult Update() {
    TMemoryStore store(world_, mat00_, case_.Columns);
    std::unique_ptr<TJournalSink> sink = folder_.Create();
    TRunJournal journal(*sink);
    return RunPriceUpdate(table_, store, ".", &journal);
  }

  TUndoCommandResult Undo() {
    TMemoryStore store(world_, mat00_, case_.Columns);
    return RunUndoCommand(folder_, "", [&]() -> TPriceStore& { return store; });
  }

  // Runs `step` with the n-th operation faulted; false when it ended before the n-th.
  template <class Step>
  bool Interrupt(int n, TFault fault, Step step) {
    world_.Operations = 0;
    world_.At = n;
    world_.Fault = fault;
    try {
      step();
    } catch (const TCrash&) {
      folder_.Restart(fault == TFault::CrashTorn);
    }
    const bool reached = world_.Operations >= n;
    world_.At = 0;
    return reached;
  }

  // The newest journal is an undo's final form with nothing left to put back:
  // that undo ended, and the next /undo would undo it.
  bool UndoEnded() {
    const std::string newest = folder_.Newest();
    if (newest.empty()) return false;
    const TJournal j = ReadJournal(folder_.Read(newest));
    return j.Kind == TJournalKind::Undo && !j.Running &&
           std::none_of(j.Rows.begin(), j.Rows.end(), [](const TJournalRow& r) {
             return r.Written && (r.Outcome == TRowOutcome::NotReached || r.Outcome == TRowOutcome::Failed);
           });
  }

  // What /undo left, against what mat00 held before the update.
  ::testing::AssertionResult Restored(const TUndoCommandResult& undo) const {
    if (undo.Status != TUndoStatus::Done && undo.Status != TUndoStatus::NothingToUndo)
      return ::testing::AssertionFailure()
             << "the undo ended with status " << int(undo.Status) << ": " << undo.Why << undo.Undo.Error;
    for (const auto& [key, prices] : before_) {
      const TPrices& now = mat00_.at(key);
      if (now != prices)
        return ::testing::AssertionFailure()
               << key << " holds " << now[0].value_or("NULL") << " " << now[1].value_or("NULL") << " ... instead of "
               << prices[0].value_or("NULL") << " " << prices[1].value_or("NULL");
    }
    return ::testing::AssertionSuccess();
  }

 private:
  TCase case_;
  TWorld world_;
  TMemoryFolder folder_;
  std::map<std::string, TPrices> mat00_, before_;
  fw::TStringTable table_{30, 1500};
};

const TCase kCases[] = {
    {"3 rows, numeric(18,2)", 3, TColumns::Numeric18x2},
    {"3 rows, float", 3, TColumns::Float},
    {"50 rows, numeric(18,2)", 50, TColumns::Numeric18x2},
    {"50 rows, float", 50, TColumns::Float},
};
const TFault kFaults[] = {TFault::Fail, TFault::FailAfter, TFault::Crash, TFault::CrashTorn, TFault::CrashAfter};

}  // namespace

TEST(InterruptedRun, EveryStepOfAnUpdateAndOfAnUndoCanBeInterruptedAndUndone) {
  int tried = 0;
  for (const TCase& c : kCases) {
    for (TFault fault : kFaults) {
      // The update interrupted at its n-th operation, then /undo.
      for (int n = 1;; ++n) {
        TScenario s(c);
        if (!s.Interrupt(n, fault, [&] { s.Update(); })) break;
        ++tried;
        EXPECT_TRUE(s.Restored(s.Undo())) << c.Name << ": the update's operation " << n << " " << Name(fault);
      }
      // A whole update, its /undo interrupted at its n-th operation, then /undo
      // again: it finishes the one interrupted (which, when it had in fact
      // ended, leaves nothing to do: undoing it would undo the undo).
      for (int n = 1;; ++n) {
        TScenario s(c);
        const TUpdateResult run = s.Update();
        ASSERT_EQ(run.Outcome, TUpdateOutcome::Success) << run.Error;
        if (!s.Interrupt(n, fault, [&] { s.Undo(); })) break;
        ++tried;
        const TUndoCommandResult finished = s.UndoEnded() ? TUndoCommandResult{} : s.Undo();
        EXPECT_TRUE(s.Restored(finished)) << c.Name << ": the undo's operation " << n << " " << Name(fault);
      }
    }
  }
  std::printf("[ injection ] %d points tried\n", tried);
  EXPECT_GT(tried, 1000);
}
