#pragma once
// The string table: a command's entry is "prompt\ntooltip".

#include <QString>

// The text of string `id`, empty when the table has none.
QString LoadResString(unsigned id);
// The status-bar prompt (before the line feed) and tooltip (after it) of a command.
QString CommandPrompt(unsigned id);
QString CommandTooltip(unsigned id);
