// The bracket balance check over the stored lines' text.
#pragma once

// True when every stored line's brackets pair up; otherwise reports the first line that fails.
bool checkBrackets();
