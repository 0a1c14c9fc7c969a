// LocalAddresses: the addresses another machine could reach this one at, for
// a host to tell the player who joins it.
#pragma once

#include <string>
#include <vector>

// The ENet the game is built on (1.3) speaks IPv4 only: a joiner can reach
// the host at its IPv4 addresses alone.
enum AddressFamilies : bool {
    Ipv4Only = false,
    Ipv4AndIpv6 = true,
};

// This machine's addresses on interfaces that are up, loopback and IPv6
// link-local ones left out (neither is any use to another machine given as
// it is), IPv4 first, each once, as text. Empty when there are none or they
// cannot be listed.
std::vector<std::string> ListLocalAddresses(AddressFamilies families = Ipv4Only);
