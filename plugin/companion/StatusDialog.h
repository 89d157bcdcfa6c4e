#pragma once

// Runs the status dialog of one bridge run; returns when it has closed.
void RunStatusDialog();
