// Which folders count as shared over the network; a test marks a local one as remote.
#include "platform/os/NetworkFolder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

namespace {

TEST(NetworkFolder, FoldersNamedAsRemoteAndTheirSubfoldersAreRemoteOthersLocal) {
  namespace fs = std::filesystem;
  char tmpl[] = "/tmp/tvredXXXXXX";
  std::string base = mkdtemp(tmpl);
  for (const char* sub : {"/red", "/red/libros", "/redes", "/local"}) fs::create_directory(base + sub);
  setenv("TALLIVAR_NETWORK_FOLDERS", ("/nada:" + base + "/red/").c_str(), 1);
  struct Case {
    const char* folder;
    bool remote;
  } cases[] = {{"/red", true}, {"/red/", true}, {"/red/libros/", true}, {"/red/libros/../libros", true},
               {"/redes", false}, {"/local", false}, {"", false}};
  for (const Case& c : cases) EXPECT_EQ(tv::os::OnNetworkFileSystem(base + c.folder), c.remote) << c.folder;
  unsetenv("TALLIVAR_NETWORK_FOLDERS");
  EXPECT_FALSE(tv::os::OnNetworkFileSystem(base + "/red"));
  fs::remove_all(base);
}

}  // namespace
