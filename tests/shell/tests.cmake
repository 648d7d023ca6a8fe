# The scenario with a second program runs tessaline-cli beside the desktop program.
add_dependencies(test_shell tessaline-cli)
