#pragma once
// Copying the write-ahead log into the database files, out of the saves.

namespace tv::db {

// A commit leaves its rows in the log (synced, so durable); this many frames or more are
// copied into the database file when the program is idle.
inline constexpr int kIdleCheckpointFrames = 1000;
// A log this long is copied at the commit that grew it, for programs that never idle.
inline constexpr int kCheckpointCapFrames = 16384;

// Copies the log of every open database that has kIdleCheckpointFrames or more into its
// file, without waiting for other processes. For the idle moments of the message loop.
void CheckpointWhenIdle();

}  // namespace tv::db
