#include "framework/Globals.h"

int QuoteSource = 2;
bool refreshInProgress = false;
int g_nWindowKind = 1;
std::string g_strFindText;
int g_nSortColumn = 0;
bool g_bSortDescending = false;
