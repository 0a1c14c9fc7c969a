// The local addresses, from the interface list getifaddrs gives.
#include "net/local_addresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>

std::vector<std::string> ListLocalAddresses(AddressFamilies families) {
    std::vector<std::string> v4;
    std::vector<std::string> v6;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return {};
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || (entry->ifa_flags & IFF_UP) == 0 ||
            (entry->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        char text[INET6_ADDRSTRLEN] = {};
        if (entry->ifa_addr->sa_family == AF_INET) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
            if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
                v4.emplace_back(text);
            }
        } else if (entry->ifa_addr->sa_family == AF_INET6 && families == Ipv4AndIpv6) {
            const auto* address = reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr);
            if (IN6_IS_ADDR_LINKLOCAL(&address->sin6_addr) ||
                IN6_IS_ADDR_LOOPBACK(&address->sin6_addr)) {
                continue;
            }
            if (inet_ntop(AF_INET6, &address->sin6_addr, text, sizeof text) != nullptr) {
                v6.emplace_back(text);
            }
        }
    }
    freeifaddrs(list);
    v4.insert(v4.end(), v6.begin(), v6.end());
    std::vector<std::string> unique;
    for (const std::string& address : v4) {
        if (std::find(unique.begin(), unique.end(), address) == unique.end()) {
            unique.push_back(address);
        }
    }
    return unique;
}
