#include <gtest/gtest.h>

#include "db/connection_string.h"
#include "db/sql_markers.h"

using namespace db;

TEST(Markers, NamedMarkersBecomePositionalPlaceholdersInOrder) {
  auto p = ParseMarkers("update mat00 set salp= :a0,price1= :a1,salp2= :a2,price2= :a3  where guid= :a4");
  EXPECT_EQ(p.Text, "update mat00 set salp= ?,price1= ?,salp2= ?,price2= ?  where guid= ?");
  EXPECT_EQ(p.Names, (std::vector<std::string>{"a0", "a1", "a2", "a3", "a4"}));
}

TEST(Markers, ColonsInsideQuotesCastsAndAloneAreNoMarkers) {
  auto p = ParseMarkers("select ':a0', \"x:y\", [z:w], 'it''s :b', c::int, d : e, :f from t where g=:h");
  EXPECT_EQ(p.Text, "select ':a0', \"x:y\", [z:w], 'it''s :b', c::int, d : e, ? from t where g=?");
  EXPECT_EQ(p.Names, (std::vector<std::string>{"f", "h"}));
}

TEST(Markers, UnterminatedQuoteKeepsTheRestAsItIs) {
  auto p = ParseMarkers("x = ':a0");
  EXPECT_EQ(p.Text, "x = ':a0");
  EXPECT_TRUE(p.Names.empty());
}

TEST(ConnectionString, TheProgramsOleDbStringMapsToOdbcKeywords) {
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                        "Initial Catalog=PilvaroM1;Data Source=.\\sqlexpress"),
            "Driver={SQL Server};Trusted_Connection=Yes;Database=PilvaroM1;Server=.\\sqlexpress;");
  EXPECT_EQ(OleDbToOdbc("Driver=SQLite3;Database=/tmp/x.db"), "Driver=SQLite3;Database=/tmp/x.db");
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB;User ID=sa;Password=\"a;b\";Data Source=srv"),
            "Driver={SQL Server};UID=sa;PWD={a;b};Server=srv;");
}
