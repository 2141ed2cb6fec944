// The handshake of Tarnwell's own over SChannel, and the judgement of the certificate it shows.
#define SECURITY_WIN32
#include "probe/tls_certificate.h"

#include "framework/wide_text.h"

#include "probe/web_address.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <schannel.h>
#include <security.h>
#include <wincrypt.h>

#include <string>
#include <vector>

namespace {

// How long a connection, a send or a read may take.
constexpr DWORD IO_TIMEOUT_MS = 5000;
// A handshake takes a few rounds; a server that keeps it going longer is not one.
constexpr int MAX_ROUNDS = 16;
constexpr int READ_SIZE = 16384;
constexpr DWORD CONTEXT_FLAGS = ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_CONFIDENTIALITY | ISC_REQ_STREAM |
                                ISC_REQ_MANUAL_CRED_VALIDATION | ISC_REQ_SEQUENCE_DETECT |
                                ISC_REQ_REPLAY_DETECT;

class Connection {
public:
    Connection(const std::string& host, uint16_t port) {
        addrinfo hints = {};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
            return;
        for (const addrinfo* at = found; at != nullptr && m_socket == INVALID_SOCKET;
             at = at->ai_next) {
            m_socket = ::socket(at->ai_family, at->ai_socktype, at->ai_protocol);
            if (m_socket == INVALID_SOCKET)
                continue;
            const DWORD timeout = IO_TIMEOUT_MS;
            const auto* value = reinterpret_cast<const char*>(&timeout);
            ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, value, sizeof(timeout));
            ::setsockopt(m_socket, SOL_SOCKET, SO_SNDTIMEO, value, sizeof(timeout));
            if (::connect(m_socket, at->ai_addr, static_cast<int>(at->ai_addrlen)) != 0) {
                ::closesocket(m_socket);
                m_socket = INVALID_SOCKET;
            }
        }
        ::freeaddrinfo(found);
    }
    ~Connection() {
        if (m_socket != INVALID_SOCKET)
            ::closesocket(m_socket);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool IsOpen() const { return m_socket != INVALID_SOCKET; }
    bool Send(const SecBuffer& token) {
        const char* data = static_cast<const char*>(token.pvBuffer);
        for (ULONG sent = 0; sent < token.cbBuffer;) {
            const int n = ::send(m_socket, data + sent, static_cast<int>(token.cbBuffer - sent), 0);
            if (n <= 0)
                return false;
            sent += static_cast<ULONG>(n);
        }
        return true;
    }
    bool ReadMore(std::vector<char>& into) {
        const std::size_t had = into.size();
        into.resize(had + READ_SIZE);
        const int n = ::recv(m_socket, into.data() + had, READ_SIZE, 0);
        into.resize(had + static_cast<std::size_t>(n > 0 ? n : 0));
        return n > 0;
    }

private:
    SOCKET m_socket = INVALID_SOCKET;
};

ShownCertificate Judge(PCCERT_CONTEXT certificate, wchar_t* name) {
    CERT_CHAIN_PARA chainPara = {};
    chainPara.cbSize = sizeof(chainPara);
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    // From what the server sent and the system's stores only: the addresses a certificate
    // names for its issuers are the server's to choose, and are never fetched.
    if (!::CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore,
                                   &chainPara, CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL, nullptr,
                                   &chain))
        return ShownCertificate::Bad;
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof(ssl);
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = name;
    CERT_CHAIN_POLICY_PARA policyPara = {};
    policyPara.cbSize = sizeof(policyPara);
    policyPara.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof(status);
    const bool good =
        ::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyPara, &status) &&
        IsGoodCertificate(chain->TrustStatus.dwErrorStatus, status.dwError);
    ::CertFreeCertificateChain(chain);
    return good ? ShownCertificate::Good : ShownCertificate::Bad;
}

// Runs the handshake over the connection; true when the context is made.
bool Handshake(Connection& connection, CredHandle& credentials, wchar_t* name,
               CtxtHandle& context) {
    std::vector<char> received;
    bool first = true;
    bool read = false;
    for (int round = 0; round < MAX_ROUNDS; ++round) {
        if (read && !connection.ReadMore(received))
            return false;
        SecBuffer in[2] = {{static_cast<ULONG>(received.size()), SECBUFFER_TOKEN, received.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDesc = {SECBUFFER_VERSION, 2, in};
        SecBuffer out = {0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outDesc = {SECBUFFER_VERSION, 1, &out};
        ULONG attributes = 0;
        const SECURITY_STATUS status = ::InitializeSecurityContextW(
            &credentials, first ? nullptr : &context, name, CONTEXT_FLAGS, 0, 0,
            first ? nullptr : &inDesc, 0, first ? &context : nullptr, &outDesc, &attributes,
            nullptr);
        if (first && FAILED(status))
            return false;
        first = false;
        const bool sent = out.pvBuffer == nullptr || connection.Send(out);
        if (out.pvBuffer != nullptr)
            ::FreeContextBuffer(out.pvBuffer);
        if (status == SEC_E_OK)
            return sent;
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            read = true;
            continue;
        }
        if (status != SEC_I_CONTINUE_NEEDED || !sent)
            return false;
        // What the round did not use begins the next one.
        if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer <= received.size()) {
            received.erase(received.begin(), received.end() - in[1].cbBuffer);
            read = false;
        } else {
            received.clear();
            read = true;
        }
    }
    return false;
}

ShownCertificate LookAtCertificate(const std::string& host, uint16_t port, wchar_t* name) {
    Connection connection(host, port);
    SCHANNEL_CRED schannel = {};
    schannel.dwVersion = SCHANNEL_CRED_VERSION;
    schannel.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    CredHandle credentials;
    if (!connection.IsOpen() ||
        ::AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W),
                                    SECPKG_CRED_OUTBOUND, nullptr, &schannel, nullptr, nullptr,
                                    &credentials, nullptr) != SEC_E_OK)
        return ShownCertificate::None;
    ShownCertificate shown = ShownCertificate::None;
    CtxtHandle context;
    SecInvalidateHandle(&context);
    if (Handshake(connection, credentials, name, context)) {
        PCCERT_CONTEXT certificate = nullptr;
        if (::QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) ==
                SEC_E_OK &&
            certificate != nullptr) {
            shown = Judge(certificate, name);
            ::CertFreeCertificateContext(certificate);
        }
    }
    if (SecIsValidHandle(&context))
        ::DeleteSecurityContext(&context);
    ::FreeCredentialsHandle(&credentials);
    return shown;
}

} // namespace

ShownCertificate CheckShownCertificate(const std::string& host, uint16_t port) {
    // An IPv6 address is looked up, and named in the certificate, without its brackets.
    const bool bracketed = host.size() > 2 && host.front() == '[';
    const std::string bare = bracketed ? host.substr(1, host.size() - 2) : host;
    // An international name is looked up, and named in the certificate, in its ASCII form.
    WideChars name = AsciiHostName(bare);
    WSADATA wsa;
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return ShownCertificate::None;
    const ShownCertificate shown = LookAtCertificate(NarrowText(name.data()), port, name.data());
    ::WSACleanup();
    return shown;
}
