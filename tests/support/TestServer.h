// Access, from a test under Wine, to the loopback servers that run_with_servers.py started:
// their ports, the served tree, the per-path faults and the recorded request lines.
// Windows only.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/FileBytes.h"

class TestServer {
 public:
  // Reads the environment of the runner; Available() is false when the test runs without it.
  TestServer() {
    const char* dir = getenv("PELLARIN_SERVER_DIR");
    const char* port = getenv("PELLARIN_FAULT_PORT");
    const char* nginx = getenv("PELLARIN_NGINX_PORT");
    if (dir != nullptr) {
      // Wine maps the host's root to drive Z:.
      dir_ = std::string("Z:") + dir;
      for (char& c : dir_)
        if (c == '/') c = '\\';
    }
    if (port != nullptr) faultPort_ = atoi(port);
    if (nginx != nullptr) nginxPort_ = atoi(nginx);
  }

  bool Available() const { return !dir_.empty() && faultPort_ != 0; }
  int FaultPort() const { return faultPort_; }
  int NginxPort() const { return nginxPort_; }

  // Empties the served tree, the faults and the request log.
  void Reset() const {
    std::error_code ec;
    std::filesystem::remove_all(dir_ + "\\www\\kv9update", ec);
    Put("\\faults.txt", "");
    Put("\\requests.log", "");
  }

  // Serves bytes at the URL path ("/" separated, below the served root).
  void Serve(const std::string& urlPath, const std::string& bytes) const {
    std::string path = dir_ + "\\www";
    for (char c : urlPath) path += c == '/' ? '\\' : c;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    Put(path.substr(dir_.size()), bytes);
  }

  // Adds a fault line "urlPath kind [args]" (see fault_server.py).
  void Fault(const std::string& urlPath, const std::string& fault) const {
    std::string all = Get("\\faults.txt") + urlPath + " " + fault + "\n";
    Put("\\faults.txt", all);
  }

  // The request lines received since the last Reset, in order.
  std::vector<std::string> Requests() const {
    std::vector<std::string> lines;
    std::string text = Get("\\requests.log");
    size_t start = 0;
    for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1)
      lines.push_back(text.substr(start, lf - start));
    return lines;
  }

 private:
  void Put(const std::string& relative, const std::string& bytes) const {
    FILE* f = fopen((dir_ + relative).c_str(), "wb");
    if (f == nullptr) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  std::string Get(const std::string& relative) const {
    std::string text;
    ReadFileBytes((dir_ + relative).c_str(), &text);
    return text;
  }

  std::string dir_;
  int faultPort_ = 0;
  int nginxPort_ = 0;
};

// A port on loopback where nothing listens: bound and closed again.
inline int UnusedLoopbackPort() {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr = {};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  int len = sizeof addr;
  getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
  closesocket(s);
  return ntohs(addr.sin_port);
}
