// Where the price list comes from and where it is kept while the window is open.
#pragma once
#include <windows.h>

#include <string>

namespace naveko {

// The maker's web server (plain HTTP) and the issue of 26 March 2022.
inline constexpr const char* PriceListUrl = "http://prices.naveko.example/upload/F26-3-2022.xlsx";
inline constexpr const char* PriceListPath = "C:\\Program Files\\Common Files\\F26-3-2022.xlsx";
inline constexpr const char* kPriceListFileName = "F26-3-2022.xlsx";

// Where this run keeps the price list (in the system code page): PriceListPath
// where that folder lets the user write the file; otherwise, as for the
// everyday account of a standard Windows installation (Program Files takes
// files only from elevated programs, and this one runs as the user who starts
// it), the same file name in the user's own folder %LOCALAPPDATA%\NAVEKO.
// Decided once, by the first download; PriceListPath until then.
const std::string& PriceListFile();
// The choice, made now: the fixed path when a file can be written there, else
// the per-user one (its folder made when missing).
std::string ChoosePriceListFile();

// Fetches PriceListUrl into PriceListFile() (chosen now) with the URL moniker service and
// returns its result: always the server's current bytes, never a copy from the
// internet cache, redirects followed. URLDownloadToFileA stores an HTTP error
// page and still reports success, so a download without an answer whose HTTP
// status is 2xx (an error status, or a connection dropped before any answer),
// or with fewer bytes than the answer announced (a line that dropped), is
// reported as a failure (INET_E_DOWNLOAD_FAILURE) and the file is removed. What
// a successful answer holds is for the import to judge.
HRESULT DownloadPriceList(struct TDownloadReport* report = nullptr);

// What a download saw, for the run log.
struct TDownloadReport {
  HRESULT Result = S_OK;
  DWORD HttpStatus = 0;          // 0 while no answer was seen
  unsigned long long Bytes = 0;  // the size of the file it left
};

}  // namespace naveko
