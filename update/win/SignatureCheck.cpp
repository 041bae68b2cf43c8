#include "update/win/SignatureCheck.h"

#include "xml/AnsiCodePage.h"

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <vector>

namespace kelvane {

namespace {

std::wstring wideText(const std::string& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string hexText(const BYTE* bytes, DWORD size) {
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        hex += "0123456789ABCDEF"[bytes[i] >> 4];
        hex += "0123456789ABCDEF"[bytes[i] & 15];
    }
    return hex;
}

std::string thumbprint(const CERT_CONTEXT* certificate, const wchar_t* algorithm) {
    BYTE hash[64];
    DWORD size = sizeof hash;
    if (!CryptHashCertificate2(algorithm, 0, nullptr, certificate->pbCertEncoded,
                               certificate->cbCertEncoded, hash, &size)) {
        return {};
    }
    return hexText(hash, size);
}

SignerCertificate describe(const CERT_CONTEXT* certificate) {
    SignerCertificate signer;
    const DWORD form = CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG;
    DWORD length =
        CertNameToStrA(X509_ASN_ENCODING, &certificate->pCertInfo->Subject, form, nullptr, 0);
    std::string subject(length, '\0');
    CertNameToStrA(X509_ASN_ENCODING, &certificate->pCertInfo->Subject, form, subject.data(),
                   length);
    subject.resize(length > 0 ? length - 1 : 0);
    // The list of pinned subjects is written in UTF-8.
    signer.subject = ansiToUtf8(subject);
    signer.sha1 = thumbprint(certificate, L"SHA1");
    signer.sha256 = thumbprint(certificate, L"SHA256");
    return signer;
}

std::string commonName(const CERT_CONTEXT* certificate) {
    char name[256] = {};
    CertGetNameStringA(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, sizeof name);
    return name;
}

// The chain from the signing certificate, built again with revocation
// checked, at the time the signature is judged for. Windows has done this
// inside WinVerifyTrust already; Wine 8's WinVerifyTrust skips it for a
// certificate signed with SHA-256, and an update must not depend on that.
bool chainHolds(const CRYPT_PROVIDER_DATA& provider, const CRYPT_PROVIDER_SGNR& signer) {
    char codeSigning[] = szOID_PKIX_KP_CODE_SIGNING;
    char* usages[] = {codeSigning};
    CERT_CHAIN_PARA parameters{};
    parameters.cbSize = sizeof parameters;
    parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
    parameters.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    FILETIME judgedAt = signer.sftVerifyAsOf;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, signer.pasCertChain[0].pCert, &judgedAt,
                                 provider.chStores ? provider.pahStores[0] : nullptr, &parameters,
                                 CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT, nullptr, &chain)) {
        return false;
    }
    bool holds = chain->TrustStatus.dwErrorStatus == CERT_TRUST_NO_ERROR;
    CertFreeCertificateChain(chain);
    return holds;
}

// One WinVerifyTrust run whose state is closed again when it goes.
class TrustRun {
public:
    TrustRun(HANDLE file, const std::wstring& path) {
        file_.cbStruct = sizeof file_;
        file_.pcwszFilePath = path.c_str();
        file_.hFile = file;
        data_.cbStruct = sizeof data_;
        data_.dwUIChoice = WTD_UI_NONE;
        data_.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
        data_.dwUnionChoice = WTD_CHOICE_FILE;
        data_.pFile = &file_;
        data_.dwStateAction = WTD_STATEACTION_VERIFY;
        data_.dwProvFlags = WTD_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT;
        result_ = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
    }
    ~TrustRun() {
        data_.dwStateAction = WTD_STATEACTION_CLOSE;
        WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
    }
    TrustRun(const TrustRun&) = delete;
    TrustRun& operator=(const TrustRun&) = delete;

    bool verified() const { return result_ == ERROR_SUCCESS; }
    CRYPT_PROVIDER_DATA* provider() const {
        return WTHelperProvDataFromStateData(data_.hWVTStateData);
    }

private:
    GUID action_ = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    WINTRUST_FILE_INFO file_{};
    WINTRUST_DATA data_{};
    LONG result_ = ERROR_SUCCESS;
};

} // namespace

SetupSignature checkSetupSignature(HANDLE file, const std::string& path,
                                   const std::vector<PinnedCertificate>& publishers) {
    SetupSignature result;
    const std::wstring widePath = wideText(path);
    TrustRun run(file, widePath);
    CRYPT_PROVIDER_DATA* provider = run.verified() ? run.provider() : nullptr;
    CRYPT_PROVIDER_SGNR* signer =
        provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    if (!signer || signer->csCertChain == 0 || !signer->pasCertChain[0].pCert ||
        !chainHolds(*provider, *signer)) {
        return result;
    }
    const CERT_CONTEXT* certificate = signer->pasCertChain[0].pCert;
    if (!isPinned(describe(certificate), publishers)) {
        result.verdict = SetupSignature::Verdict::OtherSigner;
        result.signerName = commonName(certificate);
        return result;
    }
    result.verdict = SetupSignature::Verdict::Trusted;
    return result;
}

} // namespace kelvane
