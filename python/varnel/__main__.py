"""python3 -m varnel: the varnel command."""
import sys

from ._cli import main

sys.exit(main())
