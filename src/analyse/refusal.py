"""What the analysis tells the user when it cannot go on: the message and the exit status."""

BAD_USE = 2
FAILURE = 1


class Refusal(Exception):
    """Input the program cannot work from; its text is the message for the user. The status is 2
    for bad use (an option, a range, a metric) and 1 for files that are not what they should
    be."""

    def __init__(self, message, status=FAILURE):
        super().__init__(message)
        self.status = status
