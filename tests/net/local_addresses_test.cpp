// The host's addresses to tell a friend: real ones only, each once, and as
// text another program reads back.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "net/local_addresses.h"

namespace {

TEST(LocalAddresses, ListsReachableAddressesOnceAndNoLoopback) {
    for (const AddressFamilies families : {Ipv4Only, Ipv4AndIpv6}) {
        const std::vector<std::string> addresses = ListLocalAddresses(families);
        bool sawIpv6 = false;
        for (const std::string& address : addresses) {
            std::printf("[ address  ] %s\n", address.c_str());
            in_addr v4{};
            in6_addr v6{};
            if (inet_pton(AF_INET, address.c_str(), &v4) == 1) {
                EXPECT_FALSE(sawIpv6) << "IPv4 after IPv6: " << address;
                EXPECT_NE(address.rfind("127.", 0), 0u) << address;
            } else {
                ASSERT_EQ(inet_pton(AF_INET6, address.c_str(), &v6), 1) << address;
                EXPECT_EQ(families, Ipv4AndIpv6) << address;
                EXPECT_FALSE(IN6_IS_ADDR_LOOPBACK(&v6)) << address;
                EXPECT_FALSE(IN6_IS_ADDR_LINKLOCAL(&v6)) << address;
                sawIpv6 = true;
            }
            EXPECT_EQ(std::count(addresses.begin(), addresses.end(), address), 1) << address;
        }
    }
}

}  // namespace
