# Run by cmake --install: writes the systemd unit naming the program of the prefix
# installed into (which --prefix may choose only now).
set(prefix "${CMAKE_INSTALL_PREFIX}")
file(READ "${KV_UNIT_SOURCE}" unit)
string(REPLACE "/usr/local/bin/korvantis" "${prefix}/${KV_BINDIR}/korvantis" unit "${unit}")
string(REPLACE "/usr/local/share/doc/korvantis" "${prefix}/${KV_DOCDIR}" unit "${unit}")
set(target "$ENV{DESTDIR}${prefix}/${KV_DATADIR}/korvantis/korvantis.service")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${unit}")
