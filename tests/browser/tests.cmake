vorn_add_test(TestStateIcons SOURCES browser/TestStateIcons.cpp LIBS vorn_browser)
vorn_add_test(TestMarkupDelegate SOURCES browser/TestMarkupDelegate.cpp LIBS vorn_browser)
# The main-window tests share the window fixture and the fake dialogs.
foreach(name TestCallEditing TestDatabaseSwitchMenu TestExportCommand TestMainWindow TestOptionsCommand TestPrintCommands
             TestProgressDialog TestReadOnlyLibrary TestSequenceCommands TestUndoHistory TestWindowSafety)
    vorn_add_test(${name} SOURCES browser/${name}.cpp browser/WindowFixture.h browser/FakeDialogs.h LIBS vorn_browser)
endforeach()
# Every dialog of the window as the real widget, answered by keys and clicks.
vorn_add_test(TestRealDialogs SOURCES browser/TestRealDialogs.cpp browser/DialogScript.h browser/WindowFixture.h
              browser/FakeDialogs.h LIBS vorn_browser)
# The player's line and the key table, with the stand-in programs on a private bus.
foreach(name TestPlayerPanel TestKeyDispatch)
    vorn_add_test(${name} BUS SOURCES browser/${name}.cpp browser/WindowFixture.h browser/FakeDialogs.h LIBS vorn_browser)
endforeach()
