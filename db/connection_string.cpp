#include "db/connection_string.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace db {

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

struct Pair {
  std::string Key, Value;
};

// Splits "k=v;k2=v2", honouring values quoted with " or ' (which may hold ';').
std::vector<Pair> Split(const std::string& s) {
  std::vector<Pair> out;
  size_t i = 0;
  while (i < s.size()) {
    size_t eq = s.find('=', i);
    if (eq == std::string::npos) break;
    std::string key = Trim(s.substr(i, eq - i));
    size_t j = eq + 1;
    while (j < s.size() && s[j] == ' ') ++j;
    std::string value;
    if (j < s.size() && (s[j] == '"' || s[j] == '\'')) {
      char q = s[j];
      size_t end = s.find(q, j + 1);
      if (end == std::string::npos) end = s.size();
      value = s.substr(j + 1, end - j - 1);
      j = s.find(';', end);
      i = j == std::string::npos ? s.size() : j + 1;
    } else {
      size_t semi = s.find(';', j);
      value = Trim(s.substr(j, semi == std::string::npos ? std::string::npos : semi - j));
      i = semi == std::string::npos ? s.size() : semi + 1;
    }
    if (!key.empty()) out.push_back({key, value});
  }
  return out;
}

std::string OdbcValue(const std::string& v) {
  // ODBC braces values that carry separators.
  if (v.find_first_of(";{}= ") != std::string::npos && !(v.size() >= 2 && v.front() == '{' && v.back() == '}'))
    return "{" + v + "}";
  return v;
}

}  // namespace

std::string OleDbToOdbc(const std::string& cs) {
  const auto pairs = Split(cs);
  const bool oledb = std::any_of(pairs.begin(), pairs.end(), [](const Pair& p) { return Lower(p.Key) == "provider"; });
  if (!oledb) return cs;
  std::string out = "Driver={SQL Server};";
  for (const auto& p : pairs) {
    const std::string k = Lower(p.Key);
    if (k == "provider" || k == "persist security info") continue;
    if (k == "integrated security") {
      if (Lower(p.Value) == "sspi" || Lower(p.Value) == "true" || Lower(p.Value) == "yes")
        out += "Trusted_Connection=Yes;";
    } else if (k == "initial catalog") {
      out += "Database=" + OdbcValue(p.Value) + ";";
    } else if (k == "data source") {
      out += "Server=" + OdbcValue(p.Value) + ";";
    } else if (k == "user id") {
      out += "UID=" + OdbcValue(p.Value) + ";";
    } else if (k == "password") {
      out += "PWD=" + OdbcValue(p.Value) + ";";
    } else {
      out += p.Key + "=" + OdbcValue(p.Value) + ";";
    }
  }
  return out;
}

}  // namespace db
