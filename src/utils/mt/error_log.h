#pragma once
// The error record writer used by the thread top.

// Writes one record to "<prefix><exe base name>_<Mon_DD_HH>.log_" in the
// current folder and to standard output. After the ignored integer come
// (kind, value) pairs ended by a null kind: "S"/"s" text, "I"/"i" int,
// "D"/"d" double, "N" line break (no value). Upper case kinds add a line break.
void CreateUtilsErrorLogRecord(const char* prefix, int ignored, ...);
