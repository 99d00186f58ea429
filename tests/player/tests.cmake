# A copy of the link in a process of its own, for the tests between running copies.
add_executable(vorn_linkpeer ${CMAKE_CURRENT_LIST_DIR}/LinkPeer.cpp)
target_link_libraries(vorn_linkpeer PRIVATE vorn_player vorn_toolsupport Qt6::Core Qt6::DBus vorn_warnings)

vorn_add_test(TestTipTimer SOURCES player/TestTipTimer.cpp player/FakeClock.h LIBS vorn_player)
vorn_add_test(TestVornMPLink BUS SOURCES player/TestVornMPLink.cpp player/StandinProcess.h player/FakeClock.h
              LIBS vorn_player)
