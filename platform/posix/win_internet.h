// Linux: the WinINet calls of the agent, over libcurl.
//
// Contract the agent relies on (the same as WinINet's):
// - InternetGetConnectedState: TRUE when the machine has a network, see
//   internet_connected.cpp; a machine with only a loopback is offline.
// - InternetCanonicalizeUrlA: scheme and host in lower case, "." and ".."
//   segments of the path resolved, unsafe characters of the path escaped as
//   %XX; with ICU_BROWSER_MODE the text from "?" or "#" on is kept as it is.
//   A buffer that is too small: FALSE, ERROR_INSUFFICIENT_BUFFER and the
//   length needed (with the terminating zero) in *length.
// - InternetOpenA: a session. INTERNET_OPEN_TYPE_PRECONFIG takes the proxy
//   from http_proxy / https_proxy / all_proxy / no_proxy; DIRECT uses none.
// - InternetOpenUrlA: http and https only; certificates are verified
//   (SSL_CERT_FILE names another CA bundle); redirects are followed (http
//   and https targets only). Nothing is ever served from a cache; with
//   INTERNET_FLAG_RELOAD proxies are asked not to use theirs either. Returns
//   once the final response's headers are in, or null with the error.
// - HttpQueryInfoA: HTTP_QUERY_CONTENT_LENGTH and HTTP_QUERY_STATUS_CODE of
//   the final response, as text or with HTTP_QUERY_FLAG_NUMBER as a DWORD.
// - InternetReadFile: blocks until some body bytes, the end (TRUE with 0
//   bytes) or an error, and delivers at most the bytes asked for. A body cut
//   short (a dropped connection, fewer bytes than Content-Length) is a failed
//   read (ERROR_INTERNET_CONNECTION_ABORTED), never an early end. Memory stays
//   flat: at most about 80 KiB of body are held per request.
// - Timeouts: connecting, and waiting for the next bytes of a response, give
//   up after 60 seconds (ERROR_INTERNET_TIMEOUT); the environment variable
//   TAVLEN_INTERNET_TIMEOUT_MS sets another limit in milliseconds.
#pragma once

#include "platform/posix/win_base.h"

typedef void* HINTERNET;
typedef HINTERNET* LPHINTERNET;
typedef WORD INTERNET_PORT;

#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_OPEN_TYPE_PROXY 3

#define INTERNET_FLAG_RELOAD 0x80000000u
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000u
#define INTERNET_FLAG_NO_AUTO_REDIRECT 0x00200000u
#define INTERNET_FLAG_RESYNCHRONIZE 0x00000800u
#define INTERNET_FLAG_HYPERLINK 0x00000400u
#define INTERNET_FLAG_NEED_FILE 0x00000010u

#define ICU_NO_ENCODE 0x20000000u
#define ICU_DECODE 0x10000000u
#define ICU_NO_META 0x08000000u
#define ICU_ENCODE_SPACES_ONLY 0x04000000u
#define ICU_BROWSER_MODE 0x02000000u

#define HTTP_QUERY_CONTENT_LENGTH 5
#define HTTP_QUERY_STATUS_CODE 19
#define HTTP_QUERY_FLAG_NUMBER 0x20000000u

#define INTERNET_CONNECTION_MODEM 0x01u
#define INTERNET_CONNECTION_LAN 0x02u
#define INTERNET_CONNECTION_PROXY 0x04u
#define INTERNET_CONNECTION_OFFLINE 0x20u
#define INTERNET_CONNECTION_CONFIGURED 0x40u

#define ERROR_INTERNET_OUT_OF_HANDLES 12001L
#define ERROR_INTERNET_TIMEOUT 12002L
#define ERROR_INTERNET_INTERNAL_ERROR 12004L
#define ERROR_INTERNET_INVALID_URL 12005L
#define ERROR_INTERNET_UNRECOGNIZED_SCHEME 12006L
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007L
#define ERROR_INTERNET_CANNOT_CONNECT 12029L
#define ERROR_INTERNET_CONNECTION_ABORTED 12030L
#define ERROR_INTERNET_CONNECTION_RESET 12031L
#define ERROR_INTERNET_INVALID_CA 12045L
#define ERROR_HTTP_HEADER_NOT_FOUND 12150L
#define ERROR_HTTP_INVALID_SERVER_RESPONSE 12152L
#define ERROR_HTTP_REDIRECT_FAILED 12156L
#define ERROR_INTERNET_SECURITY_CHANNEL_ERROR 12157L

BOOL InternetGetConnectedState(LPDWORD flags, DWORD reserved);
BOOL InternetCanonicalizeUrlA(LPCSTR url, LPSTR buffer, LPDWORD length, DWORD flags);
HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass, DWORD flags);
HINTERNET InternetOpenUrlA(HINTERNET internet, LPCSTR url, LPCSTR headers, DWORD headersLength, DWORD flags,
                           DWORD_PTR context);
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD index);
BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead);
BOOL InternetCloseHandle(HINTERNET handle);
