window.YTD.account.part0 = [
  {
    "account" : {
      "email" : "hanako@example.org",
      "createdVia" : "web",
      "username" : "hanako_sato",
      "accountId" : "1100000001",
      "createdAt" : "2016-07-11T02:14:45.880Z",
      "accountDisplayName" : "佐藤 花子"
    }
  }
]