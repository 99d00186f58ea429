# The main-window tests share the window fixture and the fake dialogs; the real dialogs are
# answered by keys and clicks in TestRealDialogs.
foreach(name TestRealDialogs TestWindowCommands)
    vorn_add_test(${name} SOURCES browser/${name}.cpp browser/WindowFixture.h browser/FakeDialogs.h
                  browser/DialogScript.h LIBS vorn_browser)
endforeach()
# The player's line and the key table, with the stand-in programs on a private bus.
vorn_add_test(TestPlayerPanel BUS SOURCES browser/TestPlayerPanel.cpp browser/WindowFixture.h browser/FakeDialogs.h
              LIBS vorn_browser)
# File > Print, also to a queue of a CUPS scheduler the test runs itself (Debian cups-daemon, cups-client).
find_program(CUPSD cupsd PATHS /usr/sbin)
find_program(LPADMIN lpadmin PATHS /usr/sbin)
if(NOT CUPSD OR NOT LPADMIN)
    message(FATAL_ERROR "TestPrintCommands needs cupsd and lpadmin (Debian packages cups-daemon, cups-client)")
endif()
vorn_add_test(TestPrintCommands SOURCES browser/TestPrintCommands.cpp browser/WindowFixture.h browser/FakeDialogs.h
              browser/FakePrintDialogs.h LIBS vorn_browser)
target_compile_definitions(TestPrintCommands PRIVATE VORN_CUPSD="${CUPSD}" VORN_LPADMIN="${LPADMIN}")
# The list's marked-up cells on a screen scaled to 150 %.
vorn_add_test(TestMarkupScale SOURCES browser/TestMarkupScale.cpp LIBS vorn_browser)
