#pragma once
// The user's regional settings: what the Windows locale calls read and wrote, kept in a
// small per-user file with Spanish (Colombia) defaults. The desktop's own settings are
// never touched.
#include "platform/core/AnsiString.h"

namespace tv::os {

// $TALLIVAR_CONFIG_DIR/regional.ini when that variable is set, else
// $XDG_CONFIG_HOME/tallivar/regional.ini, else ~/.config/tallivar/regional.ini.
AnsiString RegionalSettingsPath();

// Getters read the file (when it changed) at every call, as the locale calls did.
AnsiString GetUserDecimalSeparator();         // default ","
AnsiString GetUserThousandSeparator();        // default "."
AnsiString GetUserListSeparator();            // default ";"
AnsiString GetUserShortDateFormat();          // default "dd/MM/yyyy"
AnsiString GetUserLongMonthName(int month);   // 1..12, default "enero".."diciembre"
AnsiString GetUserShortMonthName(int month);  // 1..12, default "ene".."dic"

// Setters write the file at once and update the matching process-wide format setting,
// as the settings-change notification did. An empty value, or one with a line break,
// is refused (false); so is a failed write.
bool SetUserDecimalSeparator(const AnsiString& value);
bool SetUserThousandSeparator(const AnsiString& value);
bool SetUserListSeparator(const AnsiString& value);
bool SetUserShortDateFormat(const AnsiString& value);

// Copies the separators, the short date format (and the date separator it uses) and
// the month names into core's process-wide format settings.
void ApplyRegionalSettings();

}  // namespace tv::os
