#pragma once
// The registry profile kept as a text file per application:
//   <config>/<registry key>/<application>.ini   (<config>/<application>.ini
//   without a key), <config> being $XDG_CONFIG_HOME, else ~/.config.
// The file holds "[Section]" lines and "entry=value" lines under them;
// sections and entries are matched without regard to case, as the registry
// does. Values are text; '\', CR and LF in them are written as \\, \r, \n.
//
// Lines that do not parse (and comments and blank lines) are passed over
// when reading and kept as they stand when writing: a write changes only the
// entry written, so one damaged line costs no other setting. A file that
// can't be read (or is too large for settings, over 16 MiB) reads as empty,
// every value taking its default, and writes to it fail rather than lose it.
// Every write replaces the file atomically (a temporary file in the same
// folder, flushed to disk, then renamed over it), so a crash leaves either the
// old or the new settings.
#include <string>

// The user's configuration folder; empty when neither variable gives one.
std::string ProfileConfigFolder();
// The profile file of an application; empty when there is no configuration
// folder or no application name.
std::string ProfileFilePath(const std::string& registryKey, const std::string& appName);

// The value of entry in section, false when the file, section or entry is
// missing or the file can't be read.
bool ProfileRead(const std::string& path, const std::string& section, const std::string& entry, std::string* value);
// Sets the value (creating the file and its folders); false when the file
// can't be read or written or the names can't be stored (empty, or holding
// '=', '[', ']', CR or LF).
bool ProfileWrite(const std::string& path, const std::string& section, const std::string& entry,
                  const std::string& value);

// An integer value as the registry keeps it: decimal text of a signed or
// unsigned 32-bit value; anything else is not a number.
bool ProfileParseInt(const std::string& text, int* value);
