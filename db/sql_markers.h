// Named parameter markers (":name") in a statement text, turned into ODBC's
// positional "?" placeholders. Quoted literals and identifiers are copied as
// they are, and so is "::" (a cast).
#pragma once
#include <string>
#include <vector>

namespace db {

struct TParsedStatement {
  std::string Text;                // with "?" in place of every marker
  std::vector<std::string> Names;  // the markers' names, in the order they stand
};

TParsedStatement ParseMarkers(const std::string& sql);

}  // namespace db
