#pragma once
// Folders on a file system shared over the network. SQLite's write-ahead log keeps its index
// in memory shared among the processes of one computer, so two computers writing one database
// there corrupt it without a word: the database layer lets only one computer write at a time.
#include <string>

namespace tv::os {
// True when `folder` lies on a network file system (NFS, SMB/CIFS, AFS, 9P, Ceph, sshfs and
// the like, read from the file system type), or inside a folder that TALLIVAR_NETWORK_FOLDERS
// names (colon-separated; lets a test mark a local folder as remote).
bool OnNetworkFileSystem(const std::string& folder);
}  // namespace tv::os
