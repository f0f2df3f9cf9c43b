#pragma once

// Blocks on standard input until a "stop" line or its end, then queues `stopListening` on the
// main queue. Runs once, on a background queue.
void readCommands();

// Stops capturing and ends the audio so that the recognizer can finish; the process ends at the
// latest a grace period later. Runs once, on the main queue.
void stopListening();
