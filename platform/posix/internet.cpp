// Linux: WinINet sessions and requests over libcurl (see win_internet.h).
//
// A request runs on the caller's thread with a multi handle of its own: the
// calls drive the transfer only while they wait, and the write callback pauses
// the transfer once the held body reaches kHoldLimit, so memory stays flat
// whatever the body's size.
#include "platform/posix/win_internet.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kHoldLimit = 64 * 1024;
constexpr long kDefaultTimeoutMs = 60000;

long TimeoutMs() {
  const char* text = std::getenv("TAVLEN_INTERNET_TIMEOUT_MS");
  if (text == nullptr || *text == '\0') return kDefaultTimeoutMs;
  const long value = std::strtol(text, nullptr, 10);
  return value > 0 ? value : kDefaultTimeoutMs;
}

bool EqualsNoCase(const std::string& a, const char* b) {
  const std::size_t size = std::strlen(b);
  if (a.size() != size) return false;
  for (std::size_t i = 0; i < size; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

DWORD ErrorFromCurl(CURLcode code) {
  switch (code) {
    case CURLE_OK: return ERROR_SUCCESS;
    case CURLE_UNSUPPORTED_PROTOCOL: return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST: return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING: return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_SEND_ERROR: return ERROR_INTERNET_CONNECTION_RESET;
    case CURLE_TOO_MANY_REDIRECTS: return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_WEIRD_SERVER_REPLY: return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE: return ERROR_INTERNET_INVALID_CA;
    case CURLE_SSL_CONNECT_ERROR: return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case CURLE_OUT_OF_MEMORY: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_INTERNET_INTERNAL_ERROR;
  }
}

struct InternetObject {
  virtual ~InternetObject() = default;
};

struct Session final : InternetObject {
  std::string m_agent;
  DWORD m_accessType = INTERNET_OPEN_TYPE_PRECONFIG;
  std::string m_proxy;
  std::string m_proxyBypass;
};

class Request final : public InternetObject {
 public:
  ~Request() override {
    if (m_multi != nullptr && m_easy != nullptr) curl_multi_remove_handle(m_multi, m_easy);
    if (m_easy != nullptr) curl_easy_cleanup(m_easy);
    if (m_multi != nullptr) curl_multi_cleanup(m_multi);
    if (m_extraHeaders != nullptr) curl_slist_free_all(m_extraHeaders);
  }

  // Starts the transfer and waits for the final response's headers.
  bool Open(const Session& session, const char* url, DWORD flags) {
    m_timeoutMs = TimeoutMs();
    m_followRedirects = (flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
    m_multi = curl_multi_init();
    m_easy = curl_easy_init();
    if (m_multi == nullptr || m_easy == nullptr) return Fail(ERROR_INTERNET_OUT_OF_HANDLES);
    curl_easy_setopt(m_easy, CURLOPT_URL, url);
    curl_easy_setopt(m_easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_easy, CURLOPT_FOLLOWLOCATION, m_followRedirects ? 1L : 0L);
    curl_easy_setopt(m_easy, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_easy, CURLOPT_CONNECTTIMEOUT_MS, m_timeoutMs);
    curl_easy_setopt(m_easy, CURLOPT_USERAGENT, session.m_agent.c_str());
    curl_easy_setopt(m_easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(m_easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (const char* bundle = std::getenv("SSL_CERT_FILE"); bundle != nullptr && *bundle != '\0') {
      curl_easy_setopt(m_easy, CURLOPT_CAINFO, bundle);
    }
    if (session.m_accessType == INTERNET_OPEN_TYPE_DIRECT) {
      curl_easy_setopt(m_easy, CURLOPT_PROXY, "");
    } else if (session.m_accessType == INTERNET_OPEN_TYPE_PROXY) {
      curl_easy_setopt(m_easy, CURLOPT_PROXY, session.m_proxy.c_str());
      if (!session.m_proxyBypass.empty()) curl_easy_setopt(m_easy, CURLOPT_NOPROXY, session.m_proxyBypass.c_str());
    }
    if (flags & INTERNET_FLAG_RELOAD) {
      m_extraHeaders = curl_slist_append(m_extraHeaders, "Cache-Control: no-cache");
      m_extraHeaders = curl_slist_append(m_extraHeaders, "Pragma: no-cache");
      curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, m_extraHeaders);
    }
    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &Request::OnHeader);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &Request::OnBody);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    if (curl_multi_add_handle(m_multi, m_easy) != CURLM_OK) return Fail(ERROR_INTERNET_INTERNAL_ERROR);

    while (!m_headersDone && !m_done) {
      if (!Drive()) return Fail(ERROR_INTERNET_TIMEOUT);
    }
    if (m_done && m_result != CURLE_OK && !m_headersDone) return Fail(ErrorFromCurl(m_result));
    return true;
  }

  bool QueryHeader(const char* name, std::string& value) const {
    for (const auto& [key, text] : m_headers) {
      if (EqualsNoCase(key, name)) {
        value = text;
        return true;
      }
    }
    return false;
  }

  long Status() const { return m_status; }

  BOOL Read(char* buffer, DWORD wanted, DWORD* got) {
    while (true) {
      const std::size_t held = m_body.size() - m_offset;
      if (held > 0 || wanted == 0) {
        const std::size_t count = std::min<std::size_t>(held, wanted);
        std::memcpy(buffer, m_body.data() + m_offset, count);
        m_offset += count;
        if (m_offset == m_body.size()) {
          m_body.clear();
          m_offset = 0;
        }
        *got = static_cast<DWORD>(count);
        return TRUE;
      }
      if (m_paused) {
        m_paused = false;
        curl_easy_pause(m_easy, CURLPAUSE_CONT);
        continue;
      }
      if (m_done) {
        if (m_result != CURLE_OK) {
          SetLastError(ErrorFromCurl(m_result));
          return FALSE;
        }
        *got = 0;
        return TRUE;
      }
      if (!Drive()) {
        SetLastError(ERROR_INTERNET_TIMEOUT);
        return FALSE;
      }
    }
  }

 private:
  bool Fail(DWORD error) {
    SetLastError(error);
    return false;
  }

  // Runs the transfer until something happens: new headers or bytes, the end,
  // or the receive timeout without any progress (false).
  bool Drive() {
    // GetTickCount wraps after 49 days; unsigned differences stay right.
    const DWORD start = GetTickCount();
    while (true) {
      const std::size_t before = m_progress;
      int running = 0;
      curl_multi_perform(m_multi, &running);
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
        if (message->msg == CURLMSG_DONE) {
          m_done = true;
          m_result = message->data.result;
        }
      }
      if (m_done || m_progress != before || m_paused) return true;
      const long elapsed = static_cast<long>(GetTickCount() - start);
      if (elapsed >= m_timeoutMs) return false;
      curl_multi_poll(m_multi, nullptr, 0, static_cast<int>(std::min<long>(200, m_timeoutMs - elapsed)), nullptr);
    }
  }

  static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* request = static_cast<Request*>(self);
    const std::string line(data, size * count);
    ++request->m_progress;
    if (line.rfind("HTTP/", 0) == 0) {
      // A new response (after a redirect or an interim 1xx): start again.
      request->m_headers.clear();
      request->m_headersDone = false;
      const auto blank = line.find(' ');
      request->m_status = blank == std::string::npos ? 0 : std::strtol(line.c_str() + blank + 1, nullptr, 10);
      return size * count;
    }
    const std::string text = Trim(line);
    if (text.empty()) {
      // End of one header block: final unless curl goes on to another response.
      const bool interim = request->m_status >= 100 && request->m_status < 200;
      std::string location;
      const bool redirect = request->m_status >= 300 && request->m_status < 400 &&
                            request->QueryHeader("Location", location) && request->m_followRedirects;
      request->m_headersDone = !interim && !redirect;
      return size * count;
    }
    const auto colon = text.find(':');
    if (colon != std::string::npos) {
      request->m_headers.emplace_back(Trim(text.substr(0, colon)), Trim(text.substr(colon + 1)));
    }
    return size * count;
  }

  static size_t OnBody(char* data, size_t size, size_t count, void* self) {
    auto* request = static_cast<Request*>(self);
    const size_t bytes = size * count;
    if (request->m_body.size() - request->m_offset >= kHoldLimit) {
      request->m_paused = true;
      return CURL_WRITEFUNC_PAUSE;
    }
    request->m_headersDone = true;
    request->m_body.insert(request->m_body.end(), data, data + bytes);
    request->m_progress += bytes;
    return bytes;
  }

  CURLM* m_multi = nullptr;
  CURL* m_easy = nullptr;
  curl_slist* m_extraHeaders = nullptr;
  long m_timeoutMs = kDefaultTimeoutMs;
  bool m_followRedirects = true;
  std::vector<std::pair<std::string, std::string>> m_headers;
  long m_status = 0;
  bool m_headersDone = false;
  bool m_done = false;
  bool m_paused = false;
  CURLcode m_result = CURLE_OK;
  std::size_t m_progress = 0;
  std::vector<char> m_body;
  std::size_t m_offset = 0;
};

template <typename T>
T* From(HINTERNET handle) {
  return handle == nullptr ? nullptr : dynamic_cast<T*>(static_cast<InternetObject*>(handle));
}

HINTERNET ToInternetHandle(InternetObject* object) { return static_cast<HINTERNET>(object); }

void InitCurlOnce() {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)initialised;
}

}  // namespace

HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass, DWORD) {
  InitCurlOnce();
  auto* session = new Session;
  session->m_agent = agent != nullptr ? agent : "";
  session->m_accessType = accessType;
  session->m_proxy = proxy != nullptr ? proxy : "";
  session->m_proxyBypass = proxyBypass != nullptr ? proxyBypass : "";
  return ToInternetHandle(session);
}

HINTERNET InternetOpenUrlA(HINTERNET internet, LPCSTR url, LPCSTR, DWORD, DWORD flags, DWORD_PTR) {
  const Session* session = From<Session>(internet);
  if (session == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (url == nullptr || *url == '\0') {
    SetLastError(ERROR_INTERNET_INVALID_URL);
    return nullptr;
  }
  auto* request = new Request;
  if (!request->Open(*session, url, flags)) {
    const DWORD error = GetLastError();
    delete request;
    SetLastError(error);
    return nullptr;
  }
  return ToInternetHandle(request);
}

BOOL HttpQueryInfoA(HINTERNET handle, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD) {
  const Request* request = From<Request>(handle);
  if (request == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (bufferLength == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string value;
  switch (infoLevel & 0xFFFFu) {
    case HTTP_QUERY_CONTENT_LENGTH:
      if (!request->QueryHeader("Content-Length", value)) {
        SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
        return FALSE;
      }
      break;
    case HTTP_QUERY_STATUS_CODE:
      value = std::to_string(request->Status());
      break;
    default:
      SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
      return FALSE;
  }
  if (infoLevel & HTTP_QUERY_FLAG_NUMBER) {
    if (*bufferLength < sizeof(DWORD) || buffer == nullptr) {
      *bufferLength = sizeof(DWORD);
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    const DWORD number = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
    std::memcpy(buffer, &number, sizeof number);
    *bufferLength = sizeof(DWORD);
    return TRUE;
  }
  if (buffer == nullptr || *bufferLength < value.size() + 1) {
    *bufferLength = static_cast<DWORD>(value.size() + 1);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buffer, value.c_str(), value.size() + 1);
  *bufferLength = static_cast<DWORD>(value.size());
  return TRUE;
}

BOOL InternetReadFile(HINTERNET handle, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead) {
  Request* request = From<Request>(handle);
  if (request == nullptr || bytesRead == nullptr || (buffer == nullptr && bytesToRead > 0)) {
    SetLastError(request == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *bytesRead = 0;
  return request->Read(static_cast<char*>(buffer), bytesToRead, bytesRead);
}

BOOL InternetCloseHandle(HINTERNET handle) {
  InternetObject* object = From<InternetObject>(handle);
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete object;
  return TRUE;
}
