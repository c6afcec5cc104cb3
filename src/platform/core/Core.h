#pragma once
// Everything of the core module in one include.
#include "platform/core/AnsiString.h"
#include "platform/core/Classes.h"
#include "platform/core/DateTime.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Variant.h"
