#pragma once
// File and folder operations. Paths use '/'; file names are matched without regard to
// ASCII letter case where the application names files inconsistently ("Data.ini").
#include <vector>

#include "platform/core/AnsiString.h"

// True for an existing regular file (or a link to one); folders do not count. Like the
// rest of the application's file names, the file's name matches in any letter case
// ("Data.ini" is found as "data.ini"), an exact spelling first.
bool FileExists(const AnsiString& path);
bool DirectoryExists(const AnsiString& path);
// Creates the folder and any missing parents; true when the folder exists afterwards.
bool ForceDirectories(const AnsiString& path);
// Creates one folder; false when it exists already or the parent is missing.
bool CreateDir(const AnsiString& path);
// Removes a file (never a folder), its name matched as by FileExists; false when nothing
// was removed.
bool DeleteFile(const AnsiString& path);
// Renames or moves a file; fails rather than replacing an existing target.
bool RenameFile(const AnsiString& oldName, const AnsiString& newName);
// Absolute, normalised form of a path relative to the working folder.
AnsiString ExpandFileName(const AnsiString& path);
// Working folder, without a trailing '/'.
AnsiString GetCurrentDir();
bool SetCurrentDir(const AnsiString& dir);

namespace tv::os {

// Copies one file. Without `overwrite` an existing target is an error. On failure returns
// false and puts the system's reason in `error` when given. Copying a file onto itself fails.
bool CopyFile(const AnsiString& source, const AnsiString& dest, bool overwrite,
              AnsiString* error = nullptr);

// Name of the entry of `folder` that matches `name` ignoring ASCII case ("" when none);
// an exact match wins over other spellings.
AnsiString FindFileNameCI(const AnsiString& folder, const AnsiString& name);
// folder + '/' + the stored spelling of `name`, or of `name` itself when nothing matches.
AnsiString ResolveFileCI(const AnsiString& folder, const AnsiString& name);
// Same for a whole path: the last component is looked up in its folder.
AnsiString ResolvePathCI(const AnsiString& path);

// Wildcard match of a file name ('*' any run, '?' one character), ignoring ASCII case.
// "*.*" matches every name, with or without a dot.
bool MatchesMask(const AnsiString& name, const AnsiString& mask);

enum class EntryKind { Files, Folders, Any };
// Names (not paths) of the entries of `folder` matching `mask`, sorted; none when the
// folder is missing.
std::vector<AnsiString> ListFolder(const AnsiString& folder, const AnsiString& mask,
                                   EntryKind kind = EntryKind::Files);

}  // namespace tv::os
