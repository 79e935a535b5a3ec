#pragma once
// Certificates and keys for the virtual cards: generated in the forms the real
// cards carry (keys from the process-wide pool), or read from files.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/cardsim/card_credentials.h"
#include "tools/cardsim/card_profiles.h"
#include "tools/cardsim/iso_card.h"

namespace tavc::cardsim {

// JPKI user-authentication and signature certificates issued by their CA
// certificates (O=JPKI or JPKI-TEST); the signature certificate carries the
// six otherNames 1.2.392.200149.8.5.5.1 to .6 of the profile. 0 success, 1 failure.
int MakeMyNumberCredentials(const MyNumberCardProfile& in_l_profile,
                            MyNumberCredentials& out_l_credentials);
// The GPKI user certificate issued by C=JP, O=Corvane Authority,
// OU=OfficialStatusCA (or TestOfficialStatusCA) and that CA's certificate.
int MakeGpkiCredentials(const GpkiCardProfile& in_l_profile, GpkiCredentials& out_l_credentials);

// A certificate file, PEM or DER, as DER. 0 success, 1 unreadable or not a certificate.
int LoadCertificateFile(const std::string& in_l_path, std::vector<std::uint8_t>& out_l_der);
// A certificate file and its private key file (PEM or DER). 0 success, 1 failure.
int LoadCredential(const std::string& in_l_certificate_path, const std::string& in_l_key_path,
                   CardCredential& out_l_credential);

// Cards with generated credentials; null when generation fails.
std::unique_ptr<IsoCard> NewMyNumberCard(const MyNumberCardProfile& in_l_profile = {});
std::unique_ptr<IsoCard> NewGpkiCard(const GpkiCardProfile& in_l_profile = {});

// The era digit of a YYYYMMDD date followed by the date, as the signature
// certificate writes the date of birth: 1 Meiji, 2 Taisho, 3 Showa, 4 Heisei, 5 Reiwa.
std::string EraDate(const std::string& in_l_yyyymmdd);

}  // namespace tavc::cardsim
