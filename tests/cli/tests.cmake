vorn_add_test(TestCli SOURCES cli/TestCli.cpp LIBS vorn_store)
add_dependencies(TestCli vornreader-cli)
