// Where the price list comes from and where it is kept while the window is open.
#pragma once
#include <windows.h>

// The maker's web server (plain HTTP) and the issue of 26 March 2022.
inline constexpr const char* PriceListUrl = "http://prices.naveko.example/upload/F26-3-2022.xlsx";
inline constexpr const char* PriceListPath = "C:\\Program Files\\Common Files\\F26-3-2022.xlsx";

// Fetches PriceListUrl into PriceListPath with the URL moniker service and
// returns its result. URLDownloadToFileA stores an HTTP error page and still
// reports success, so a download without an answer whose HTTP status is 2xx
// (an error status, or a connection dropped before any answer) is reported as a
// failure (INET_E_DOWNLOAD_FAILURE) and the file is removed. What a successful
// answer holds is for the import to judge.
HRESULT DownloadPriceList();
