#include "framework/host/address_table.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/test_host.h"

namespace {

int One() { return 1; }
int Two() { return 2; }

TEST(AddressTable, FieldsResolveToBasePlusOffsetAndFunctionsToTheirAddress) {
  support::TestHost host;
  framework::RegisterFieldOffset("Thing.Field", 24);
  framework::RegisterFunctionAddress("Thing.Fn()", reinterpret_cast<void*>(&One));
  char object[64];
  EXPECT_EQ(GetAddress(object, "Thing.Field"), object + 24);
  EXPECT_EQ(GetAddress(nullptr, "Thing.Field"), nullptr);
  EXPECT_EQ(GetAddress("Thing.Fn()"), reinterpret_cast<void*>(&One));
  EXPECT_EQ(GetAddress("Thing.Field"), nullptr) << "a field is not a function";
  EXPECT_EQ(GetAddress(object, "Thing.Fn()"), nullptr) << "a function is not a field";
}

TEST(AddressTable, UnknownNamesGiveNullAndAreLogged) {
  support::TestHost host;
  EXPECT_EQ(GetAddress("Nobody.Home()"), nullptr);
  EXPECT_EQ(host.log().Count("unknown symbol \"Nobody.Home()\""), 1);
}

TEST(AddressTable, ANameAtAReusedAddressIsLookedUpByItsText) {
  support::TestHost host;
  framework::RegisterFunctionAddress("Thing.A()", reinterpret_cast<void*>(&One));
  framework::RegisterFunctionAddress("Thing.B()", reinterpret_cast<void*>(&Two));
  char name[] = "Thing.A()";
  EXPECT_EQ(GetAddress(std::string_view(name)), reinterpret_cast<void*>(&One));
  name[6] = 'B';  // same address, same length, other text
  EXPECT_EQ(GetAddress(std::string_view(name)), reinterpret_cast<void*>(&Two));
}

TEST(AddressTable, ReRegistrationAndClearingTakeEffectAtOnce) {
  support::TestHost host;
  framework::RegisterFunctionAddress("Thing.A()", reinterpret_cast<void*>(&One));
  EXPECT_EQ(GetAddress("Thing.A()"), reinterpret_cast<void*>(&One));
  framework::RegisterFunctionAddress("Thing.A()", reinterpret_cast<void*>(&Two));
  EXPECT_EQ(GetAddress("Thing.A()"), reinterpret_cast<void*>(&Two));
  framework::ClearAddressTable();
  EXPECT_EQ(GetAddress("Thing.A()"), nullptr);
  game::RegisterAllocator();  // the host's teardown frees through it
}

}  // namespace
