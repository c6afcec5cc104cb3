#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

// Cada página de ayuda se alcanza desde el índice, y cada enlace del índice lleva a una página.
TEST(AyudaIndice, EnlazaTodasLasPaginas) {
  fs::path dir = fs::path(TALLIVAR_SOURCE_DIR) / "data" / "help";
  std::ifstream in(dir / "index.html");
  ASSERT_TRUE(in) << (dir / "index.html").string();
  std::stringstream ss;
  ss << in.rdbuf();
  std::string html = ss.str();
  std::set<std::string> enlazadas;
  std::regex href(R"re(href="([^"#]+)(#[^"]*)?")re");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), href); it != std::sregex_iterator(); ++it)
    enlazadas.insert((*it)[1].str());
  int paginas = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::string nombre = e.path().filename().string();
    if (e.path().extension() != ".html" || nombre == "index.html") continue;
    ++paginas;
    EXPECT_TRUE(enlazadas.count(nombre)) << nombre << " no está en el índice";
  }
  EXPECT_GT(paginas, 30);
  for (const std::string& n : enlazadas) {
    if (n == "estilo.css") continue;
    EXPECT_TRUE(fs::exists(dir / n)) << n << " no existe";
  }
}
