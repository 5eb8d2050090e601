#pragma once
// The bank's name: what the host lists, and the key of the host's settings for this bank.
constexpr wchar_t kBankDisplayName[] = L"Bank of Velmora SEPA";
constexpr char kBankSettingsKey[] = "Bank of Velmora SEPA";
