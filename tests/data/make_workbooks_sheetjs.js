// Writes sheetjs_prices.xlsx with SheetJS (npm package "xlsx"), a writer
// independent of ours and of openpyxl: shared strings, a cached formula value,
// a date cell with its number format, a boolean, and a second sheet.
// Run: (cd /tmp/sheetjs && npm install xlsx) && NODE_PATH=/tmp/sheetjs/node_modules node tests/data/make_workbooks_sheetjs.js
const XLSX = require("xlsx");
const path = require("path");

const ws = XLSX.utils.aoa_to_sheet([
  ["guid", "salp", "price1", "salp2", "price2"],
  ["S-1", 1.25, 2, 3, 4],
  ["S-2", 10, 20, 30, 40],
]);
ws["F2"] = { t: "n", v: 3.25, f: "B2+2" };
ws["G3"] = { t: "b", v: true };
ws["H3"] = { t: "n", v: 44646, z: "yyyy-mm-dd" };
ws["!ref"] = "A1:H3";
const wb = XLSX.utils.book_new();
XLSX.utils.book_append_sheet(wb, ws, "Prices");
XLSX.utils.book_append_sheet(wb, XLSX.utils.aoa_to_sheet([["other"]]), "Other");
XLSX.writeFile(wb, path.join(__dirname, "sheetjs_prices.xlsx"), { bookSST: true, cellDates: false });
