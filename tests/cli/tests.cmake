vorn_add_test(TestCli SOURCES cli/TestCli.cpp LIBS vorn_store)
add_dependencies(TestCli vornreader-cli)
vorn_add_test(TestCliPrint SOURCES cli/TestCliPrint.cpp LIBS vorn_store)
add_dependencies(TestCliPrint vornreader-cli)
