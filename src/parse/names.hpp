// Name resolution: binds every reference to the line that defines its name.
#pragma once

// Fills referenceTarget and taskDefinition and shows the task line; reports and returns
// false when a name is not defined or no line is named "?".
bool resolveNames();
