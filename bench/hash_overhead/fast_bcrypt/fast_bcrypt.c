/*
 * A stand-in for the system's bcrypt.dll whose SHA-256 runs at the speed of
 * the processor's SHA extensions (nettle's SHA-NI code), for the hash-overhead
 * benchmark only. Wine's own bcrypt hashes with portable C at about 260 MB/s;
 * put this DLL beside the unchanged updater and load it instead of Wine's
 * (WINEDLLOVERRIDES=bcrypt=n,b) to see what checking Sha256 values costs a
 * run when the system hashes at hardware speed.
 *
 * Only what the updater calls to hash is served. Signature checks are not:
 * the benchmark's updater carries no key, so it never asks for them, and
 * they answer STATUS_NOT_SUPPORTED should one ever be asked.
 */
#define WIN32_NO_STATUS
#include <windows.h>
#undef WIN32_NO_STATUS
#include <ntstatus.h>
#include <bcrypt.h>
#include <stdlib.h>
#include <wchar.h>

#include <nettle/sha2.h>

static int sha256_algorithm; /* its address is the one algorithm handle */

NTSTATUS WINAPI BCryptOpenAlgorithmProvider(BCRYPT_ALG_HANDLE *algorithm, LPCWSTR id,
                                            LPCWSTR implementation, ULONG flags) {
    (void)implementation;
    (void)flags;
    if (!algorithm || !id || wcscmp(id, BCRYPT_SHA256_ALGORITHM) != 0) return STATUS_NOT_SUPPORTED;
    *algorithm = &sha256_algorithm;
    return STATUS_SUCCESS;
}

NTSTATUS WINAPI BCryptCloseAlgorithmProvider(BCRYPT_ALG_HANDLE algorithm, ULONG flags) {
    (void)flags;
    return algorithm == &sha256_algorithm ? STATUS_SUCCESS : STATUS_INVALID_HANDLE;
}

NTSTATUS WINAPI BCryptCreateHash(BCRYPT_ALG_HANDLE algorithm, BCRYPT_HASH_HANDLE *hash,
                                 PUCHAR object, ULONG objectSize, PUCHAR secret,
                                 ULONG secretSize, ULONG flags) {
    (void)object;
    (void)objectSize;
    (void)flags;
    if (algorithm != &sha256_algorithm || !hash) return STATUS_INVALID_HANDLE;
    if (secret || secretSize) return STATUS_NOT_SUPPORTED; /* no HMAC */
    struct sha256_ctx *context = malloc(sizeof *context);
    if (!context) return STATUS_NO_MEMORY;
    sha256_init(context);
    *hash = context;
    return STATUS_SUCCESS;
}

NTSTATUS WINAPI BCryptHashData(BCRYPT_HASH_HANDLE hash, PUCHAR input, ULONG size, ULONG flags) {
    (void)flags;
    if (!hash) return STATUS_INVALID_HANDLE;
    sha256_update(hash, size, input);
    return STATUS_SUCCESS;
}

NTSTATUS WINAPI BCryptFinishHash(BCRYPT_HASH_HANDLE hash, PUCHAR output, ULONG size, ULONG flags) {
    (void)flags;
    if (!hash) return STATUS_INVALID_HANDLE;
    if (size != SHA256_DIGEST_SIZE) return STATUS_INVALID_PARAMETER;
    sha256_digest(hash, size, output);
    return STATUS_SUCCESS;
}

NTSTATUS WINAPI BCryptDestroyHash(BCRYPT_HASH_HANDLE hash) {
    free(hash);
    return STATUS_SUCCESS;
}

NTSTATUS WINAPI BCryptImportKeyPair(BCRYPT_ALG_HANDLE algorithm, BCRYPT_KEY_HANDLE importKey,
                                    LPCWSTR blobType, BCRYPT_KEY_HANDLE *key, PUCHAR input,
                                    ULONG inputSize, ULONG flags) {
    (void)algorithm;
    (void)importKey;
    (void)blobType;
    (void)key;
    (void)input;
    (void)inputSize;
    (void)flags;
    return STATUS_NOT_SUPPORTED;
}

NTSTATUS WINAPI BCryptVerifySignature(BCRYPT_KEY_HANDLE key, void *padding, PUCHAR hash,
                                      ULONG hashSize, PUCHAR signature, ULONG signatureSize,
                                      ULONG flags) {
    (void)key;
    (void)padding;
    (void)hash;
    (void)hashSize;
    (void)signature;
    (void)signatureSize;
    (void)flags;
    return STATUS_NOT_SUPPORTED;
}

NTSTATUS WINAPI BCryptDestroyKey(BCRYPT_KEY_HANDLE key) {
    (void)key;
    return STATUS_NOT_SUPPORTED;
}
