#pragma once

// Called on the main queue once listening has begun: acts on a signal that came before, and
// starts reading standard input for a "stop" line or its end, which then queue `stopListening`.
void beginTakingCommands();

// A termination signal asks for the stop as a stop line does, waiting for listening to begin if
// it has not. Once any stop has been asked for, a signal ends the process at once, printing
// nothing more.
void handleTerminationSignal();

// Stops capturing and ends the audio so that the recognizer can finish; the process ends at the
// latest a grace period later. Runs once, on the main queue.
void stopListening();
