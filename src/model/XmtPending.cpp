// Placeholder bodies until the decoders land.
#include "model/Xmt.h"

void TXmt::DecodeIdentity(TAnswerData , int ) {}
void TXmt::DecodeCmd1(TAnswerData ) {}
void TXmt::DecodeCmd2(TAnswerData ) {}
void TXmt::DecodeCmd3(TAnswerData ) {}
void TXmt::DecodeCmd12(TAnswerData ) {}
void TXmt::DecodeCmd13(TAnswerData ) {}
void TXmt::DecodeCmd14(TAnswerData ) {}
void TXmt::DecodeCmd15(TAnswerData ) {}
void TXmt::DecodeCmd16(TAnswerData ) {}
void TXmt::DecodeCmd41(TAnswerData ) {}
void TXmt::DecodeCmd44(TAnswerData ) {}
void TXmt::DecodeCmd47(TAnswerData ) {}
void TXmt::DecodeCmd48(TAnswerData , int ) {}
void TXmt::DecodeCmd89(TAnswerData ) {}
void TXmt::DecodeCmd90(TAnswerData ) {}
void TXmt::DecodeCmd136(TAnswerData ) {}
void TXmt::DecodeCmd140(TAnswerData ) {}
void TXmt::DecodeCmd143(TAnswerData ) {}
void TXmt::DecodeCmd189(TAnswerData ) {}
void TXmt::DecodeCmd190(TAnswerData ) {}
void TXmt::DecodeCmd191(TAnswerData ) {}
void TXmt::DecodeCmd192(TAnswerData ) {}
void TXmt::DecodeCmd194(TAnswerData ) {}
void TXmt::DecodeCmd196(TAnswerData ) {}
void TXmt::DecodeCmd197(TAnswerData ) {}
void TXmt::DecodeCmd200(TAnswerData ) {}
void TXmt::DecodeCmd202(TAnswerData ) {}
void TXmt::DecodeCmd204(TAnswerData ) {}
void TXmt::DecodeCmd205(TAnswerData ) {}
void TXmt::DecodeCmd206(TAnswerData ) {}
void TXmt::DecodeCmd208(TAnswerData ) {}
void TXmt::DecodeCmd210(TAnswerData ) {}
void TXmt::DecodeCmd211(TAnswerData ) {}
void TXmt::DecodeCmd213(TAnswerData ) {}
void TXmt::SaveToDisk() {}
void TXmt::LoadFromDisk() {}
bool TXmt::SaveToFile(const std::string&, std::string*) { return false; }
TLoadResult TXmt::LoadFromFile(const std::string&) { return TLoadResult::CannotOpen; }
std::string TXmt::ProposedFileName() const { return Tag; }
std::span<const TManufacturer> ManufacturerTable() { return {}; }
std::string ModelRowName(const TModelName&, TLangue) { return {}; }
