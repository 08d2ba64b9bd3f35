window.YTD.direct_message.part0 = [
  {
    "dmConversation" : {
      "conversationId" : "1100000001-3300000003",
      "messages" : [
        {
          "messageCreate" : {
            "recipientId" : "3300000003",
            "reactions" : [ ],
            "urls" : [ ],
            "text" : "了解、また連絡します",
            "mediaUrls" : [ ],
            "senderId" : "1100000001",
            "id" : "1100000000000000002",
            "createdAt" : "2019-06-19T08:16:00.000Z"
          }
        },
        {
          "messageCreate" : {
            "recipientId" : "1100000001",
            "reactions" : [ ],
            "urls" : [ ],
            "text" : "来週の件、どうなった？",
            "mediaUrls" : [ ],
            "senderId" : "3300000003",
            "id" : "1100000000000000001",
            "createdAt" : "2019-06-19T08:15:30.123Z"
          }
        }
      ]
    }
  }
]