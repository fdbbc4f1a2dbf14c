#pragma once
// SIGINT and SIGTERM ask the running scan or pass to stop at its next card, so the
// table as it stands is still printed; a second signal ends the process at once.

class CPassCancel;

// `cancel` must live as long as the handlers may run (the whole process).
void CancelOnSignals(CPassCancel& cancel);
// The signal that asked for the cancel; 0 when none came.
int CancelSignal();
