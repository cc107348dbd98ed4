// The whole class layer in one include, for the program's own classes.
#pragma once

#include "CDataExchange.h"
#include "CDialog.h"
#include "CMenu.h"
#include "CPaintDC.h"
#include "CString.h"
#include "CWinApp.h"
#include "CWnd.h"
