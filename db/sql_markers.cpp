#include "db/sql_markers.h"

#include <cctype>

namespace db {

namespace {
bool NameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
}  // namespace

TParsedStatement ParseMarkers(const std::string& sql) {
  TParsedStatement out;
  out.Text.reserve(sql.size());
  size_t i = 0;
  while (i < sql.size()) {
    const char c = sql[i];
    if (c == '\'' || c == '"' || c == '[') {
      // A literal or a quoted identifier: copied up to its closing quote ('' and "" stay inside).
      const char close = c == '[' ? ']' : c;
      out.Text.push_back(c);
      ++i;
      while (i < sql.size()) {
        out.Text.push_back(sql[i]);
        if (sql[i] == close) {
          if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
            out.Text.push_back(sql[++i]);
          } else {
            ++i;
            break;
          }
        }
        ++i;
      }
      continue;
    }
    if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {
      out.Text += "::";  // a cast, not a marker
      i += 2;
      continue;
    }
    if (c == ':' && i + 1 < sql.size() && NameChar(sql[i + 1])) {
      size_t j = i + 1;
      while (j < sql.size() && NameChar(sql[j])) ++j;
      out.Names.push_back(sql.substr(i + 1, j - i - 1));
      out.Text.push_back('?');
      i = j;
      continue;
    }
    out.Text.push_back(c);
    ++i;
  }
  return out;
}

}  // namespace db
