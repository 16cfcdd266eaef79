// The run step: checks, binds and computes the task, then reports every definition.
#pragma once

void runTask();
